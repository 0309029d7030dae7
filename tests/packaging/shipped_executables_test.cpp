// The two programs as they go into the packages, read the way Windows reads them: the
// PE header (subsystem, no link time, no symbol table left), the version resource
// that Explorer's Details tab and the installer show, and the application manifest as
// the loader reads it into an activation context.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "res/version.h"

namespace {

std::string utilityPath, kavronctlPath;

struct Shipped {
    const std::string* path;
    const char* fileName;
    WORD subsystem;
    const char* description;
};

const Shipped kShipped[] = {
    {&utilityPath, "KavronStorageUtility.exe", IMAGE_SUBSYSTEM_WINDOWS_GUI, "Kavron Storage Utility"},
    {&kavronctlPath, "kavronctl.exe", IMAGE_SUBSYSTEM_WINDOWS_CUI, "Kavron Storage Utility command line"},
};

std::vector<char> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

std::string VersionString(const std::vector<BYTE>& block, const char* name)
{
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\040904b0\\%s", name);
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), path, &value, &length) || !value)
        return "<missing>";
    return static_cast<const char*>(value);
}

TEST(ShippedExecutables, HeadersSayWhatWindowsExpects)
{
    for (const Shipped& exe : kShipped) {
        SCOPED_TRACE(exe.fileName);
        const std::vector<char> file = ReadFile(*exe.path);
        ASSERT_GT(file.size(), 4096u);
        IMAGE_DOS_HEADER dos;
        std::memcpy(&dos, file.data(), sizeof dos);
        ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
        ASSERT_LT(static_cast<size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS64), file.size());
        IMAGE_NT_HEADERS64 nt;
        std::memcpy(&nt, file.data() + dos.e_lfanew, sizeof nt);
        ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
        EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
        // The utility opens no console window; kavronctl writes to the one it runs in.
        EXPECT_EQ(nt.OptionalHeader.Subsystem, exe.subsystem);
        // A link time would make every build differ from the last.
        EXPECT_EQ(nt.FileHeader.TimeDateStamp, 0u);
        EXPECT_EQ(nt.FileHeader.PointerToSymbolTable, 0u) << "not stripped";
        EXPECT_EQ(nt.FileHeader.NumberOfSymbols, 0u);
        const WORD hardening = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT;
        EXPECT_EQ(nt.OptionalHeader.DllCharacteristics & hardening, hardening);
    }
}

TEST(ShippedExecutables, VersionResourceIsComplete)
{
    for (const Shipped& exe : kShipped) {
        SCOPED_TRACE(exe.fileName);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(exe.path->c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(exe.path->c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
        const DWORD ms = MAKELONG(KAVRON_VERSION_MINOR, KAVRON_VERSION_MAJOR),
                    ls = MAKELONG(KAVRON_VERSION_BUILD, KAVRON_VERSION_PATCH);
        EXPECT_EQ(fixed->dwFileVersionMS, ms);
        EXPECT_EQ(fixed->dwFileVersionLS, ls);
        EXPECT_EQ(fixed->dwProductVersionMS, ms);
        EXPECT_EQ(fixed->dwProductVersionLS, ls);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        EXPECT_EQ(VersionString(block, "CompanyName"), "Kavron");
        EXPECT_EQ(VersionString(block, "FileDescription"), exe.description);
        EXPECT_EQ(VersionString(block, "FileVersion"), KAVRON_VERSION_COMMAS);
        EXPECT_NE(VersionString(block, "InternalName"), "<missing>");
        EXPECT_EQ(VersionString(block, "LegalCopyright"), "Copyright (C) Kavron. All rights reserved.");
        EXPECT_EQ(VersionString(block, "OriginalFilename"), exe.fileName);
        EXPECT_EQ(VersionString(block, "ProductName"), "Kavron Storage Utility");
        EXPECT_EQ(VersionString(block, "ProductVersion"), KAVRON_VERSION_COMMAS);
    }
}

// The program's manifest (resource 1) as the loader reads it.
class ManifestContext {
public:
    explicit ManifestContext(const std::string& path)
    {
        ACTCTXA request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEA(1);  // CREATEPROCESS_MANIFEST_RESOURCE_ID
        context_ = CreateActCtxA(&request);
    }
    ~ManifestContext()
    {
        if (context_ != INVALID_HANDLE_VALUE)
            ReleaseActCtx(context_);
    }
    bool valid() const { return context_ != INVALID_HANDLE_VALUE; }
    bool Query(ULONG what, void* info, SIZE_T size) const
    {
        return QueryActCtxW(0, context_, nullptr, what, info, size, nullptr) != FALSE;
    }
    // A windowsSettings value, or "<none>".
    std::string Setting(const wchar_t* space, const wchar_t* name) const
    {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context_, space, name, value, 63, &written))
            return "<none>";
        std::string narrow;
        for (const wchar_t* c = value; *c; ++c)
            narrow += static_cast<char>(*c);
        return narrow;
    }

private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST(ShippedExecutables, ManifestKeepsTheUserAndTheOldControls)
{
    const wchar_t* const k2005 = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
    const wchar_t* const k2016 = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";
    const wchar_t* const k2017 = L"http://schemas.microsoft.com/SMI/2017/WindowsSettings";
    const wchar_t* const k2019 = L"http://schemas.microsoft.com/SMI/2019/WindowsSettings";
    for (const Shipped& exe : kShipped) {
        SCOPED_TRACE(exe.fileName);
        const ManifestContext manifest(*exe.path);
        ASSERT_TRUE(manifest.valid()) << "no manifest, or one the loader refuses: " << GetLastError();

        // Never elevated: the drive mappings belong to the user's own logon session.
        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
        ASSERT_TRUE(manifest.Query(RunlevelInformationInActivationContext, &runLevel, sizeof runLevel));
        EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, runLevel.RunLevel);
        EXPECT_EQ(0u, runLevel.UiAccess);
        // No supportedOS: Windows 8 and later keep reporting 6.2 to GetVersionEx.
        alignas(ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION) BYTE compatibility[256] = {};
        ASSERT_TRUE(manifest.Query(CompatibilityInformationInActivationContext, compatibility, sizeof compatibility));
        EXPECT_EQ(0u, reinterpret_cast<ACTIVATION_CONTEXT_COMPATIBILITY_INFORMATION*>(compatibility)->ElementCount);
        // No dependency (the common controls 6 among them): the program's own assembly only.
        // (The answer carries the manifest's path after it.)
        alignas(ACTIVATION_CONTEXT_DETAILED_INFORMATION) BYTE detail[4096] = {};
        ASSERT_TRUE(manifest.Query(ActivationContextDetailedInformation, detail, sizeof detail));
        EXPECT_EQ(1u, reinterpret_cast<ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail)->ulAssemblyCount);

        // Per-monitor aware (v2, then v1; the older element for 8.1), no GDI scaling.
        EXPECT_EQ("true/pm", manifest.Setting(k2005, L"dpiAware"));
        EXPECT_EQ("PerMonitorV2, PerMonitor", manifest.Setting(k2016, L"dpiAwareness"));
        EXPECT_EQ("<none>", manifest.Setting(k2017, L"gdiScaling"));
        // ANSI text in the user's code page, paths of the usual length.
        EXPECT_EQ("<none>", manifest.Setting(k2019, L"activeCodePage"));
        EXPECT_EQ("<none>", manifest.Setting(k2016, L"longPathAware"));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s KavronStorageUtility.exe kavronctl.exe\n", argv[0]);
        return 2;
    }
    utilityPath = argv[1];
    kavronctlPath = argv[2];
    return RUN_ALL_TESTS();
}
