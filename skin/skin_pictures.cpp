#include "skin/skin_pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdio>

#include "framework/application.h"

namespace {

// Owns one COM interface pointer.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (p_)
            p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the creating call's out parameter; releases what it held.
    T** put()
    {
        if (p_)
            p_->Release();
        p_ = nullptr;
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

// COM on this thread for the length of one load. When the thread has it already
// (the application's start-up, in either apartment) this costs a reference count.
class ComForThisCall {
public:
    ComForThisCall() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForThisCall()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComForThisCall(const ComForThisCall&) = delete;
    ComForThisCall& operator=(const ComForThisCall&) = delete;
    // RPC_E_CHANGED_MODE: the thread is in the multithreaded apartment, which
    // serves the imaging component as well.
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT hr_;
};

// The bytes of a resource of the program, or nullptr.
const void* ResourceBytes(LPCSTR name, LPCSTR type, DWORD* size)
{
    HMODULE module = ResourceInstance();
    HRSRC found = FindResourceA(module, name, type);
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    *size = SizeofResource(module, found);
    return loaded ? LockResource(loaded) : nullptr;
}

// Width and height of the 100 % drawing, read from its BITMAP resource's header
// without creating the bitmap.
SIZE DrawnSize100(int resourceId)
{
    DWORD size = 0;
    const void* bytes = ResourceBytes(MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(2) /* RT_BITMAP */, &size);
    SIZE result = {0, 0};
    if (!bytes || size < sizeof(BITMAPCOREHEADER))
        return result;
    const auto* core = static_cast<const BITMAPCOREHEADER*>(bytes);
    if (core->bcSize == sizeof(BITMAPCOREHEADER)) {
        result.cx = core->bcWidth;
        result.cy = core->bcHeight;
    } else if (size >= sizeof(BITMAPINFOHEADER)) {
        const auto* info = static_cast<const BITMAPINFOHEADER*>(bytes);
        result.cx = info->biWidth;
        result.cy = info->biHeight < 0 ? -info->biHeight : info->biHeight;
    }
    return result;
}

// The resource type of the PNG set drawn at `scale` percent: "PNG125" and so on.
void PngType(int scale, char (&type)[16])
{
    std::snprintf(type, sizeof type, "PNG%d", scale);
}

// The drawing of `resourceId` at `scale` as an imaging source. The 100 % set is
// read from its BITMAP resource (kept alive in *keep while the source is used).
bool OpenDrawing(IWICImagingFactory* factory, int resourceId, int scale, ComRef<IWICBitmapSource>* source,
                 GdiBitmap* keep)
{
    if (scale == 100) {
        *keep = LoadBitmapResource(resourceId, true);
        ComRef<IWICBitmap> bitmap;
        if (!*keep ||
            FAILED(factory->CreateBitmapFromHBITMAP(keep->get(), nullptr, WICBitmapIgnoreAlpha, bitmap.put())))
            return false;
        return SUCCEEDED(bitmap->QueryInterface(IID_IWICBitmapSource, source->putVoid()));
    }
    char type[16];
    PngType(scale, type);
    DWORD size = 0;
    const void* bytes = ResourceBytes(MAKEINTRESOURCEA(resourceId), type, &size);
    if (!bytes)
        return false;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)) ||
        FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())))
        return false;
    return SUCCEEDED(frame->QueryInterface(IID_IWICBitmapSource, source->putVoid()));
}

// A bitmap of the source's pixels: a top-down 32-bit DIB section, or a bitmap
// compatible with the screen filled from one.
GdiBitmap ToBitmap(IWICBitmapSource* source, bool dibSection)
{
    UINT w = 0, h = 0;
    if (FAILED(source->GetSize(&w, &h)) || w == 0 || h == 0)
        return GdiBitmap();
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = static_cast<LONG>(w);
    bi.bmiHeader.biHeight = -static_cast<LONG>(h);
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    const UINT stride = w * 4;
    if (!dib || !bits || FAILED(source->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(bits))))
        return GdiBitmap();
    if (dibSection)
        return dib;
    ClientDC screen(nullptr);
    GdiBitmap ddb(CreateCompatibleBitmap(screen.get(), static_cast<int>(w), static_cast<int>(h)));
    if (!ddb || SetDIBits(screen.get(), ddb.get(), 0, h, bits, &bi, DIB_RGB_COLORS) != static_cast<int>(h))
        return GdiBitmap();
    return ddb;
}

}  // namespace

int DrawnScaleForDpi(UINT dpi)
{
    for (int scale : kDrawnScales) {
        if (static_cast<UINT>(scale) * USER_DEFAULT_SCREEN_DPI >= dpi * 100)
            return scale;
    }
    return kDrawnScales[sizeof kDrawnScales / sizeof kDrawnScales[0] - 1];
}

int ScaleForDpi(int length, UINT dpi)
{
    const long long scaled = static_cast<long long>(length) * dpi;
    return static_cast<int>((scaled + USER_DEFAULT_SCREEN_DPI / 2) / USER_DEFAULT_SCREEN_DPI);
}

SIZE SkinPictureSize(int resourceId, UINT dpi)
{
    SIZE size = DrawnSize100(resourceId);
    size.cx = ScaleForDpi(size.cx, dpi);
    size.cy = ScaleForDpi(size.cy, dpi);
    return size;
}

GdiBitmap LoadSkinPicture(int resourceId, UINT dpi, bool dibSection)
{
    // The most common case needs neither COM nor a decoder.
    if (dpi == USER_DEFAULT_SCREEN_DPI)
        return LoadBitmapResource(resourceId, dibSection);
    const SIZE want = SkinPictureSize(resourceId, dpi);
    if (want.cx <= 0 || want.cy <= 0)
        return GdiBitmap();

    ComForThisCall com;
    ComRef<IWICImagingFactory> factory;
    if (!com.usable() || FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                 IID_IWICImagingFactory, factory.putVoid())))
        return GdiBitmap();

    // A set that lacks the picture (a build that embeds only some) falls back to
    // the 100 % drawing, resized like any in-between scale.
    ComRef<IWICBitmapSource> drawing;
    GdiBitmap keep;
    if (!OpenDrawing(factory.get(), resourceId, DrawnScaleForDpi(dpi), &drawing, &keep) &&
        !OpenDrawing(factory.get(), resourceId, 100, &drawing, &keep))
        return GdiBitmap();

    // Converted first, so that the scaler blends 8-bit channels, not palette indices.
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(drawing.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return GdiBitmap();

    UINT w = 0, h = 0;
    converter->GetSize(&w, &h);
    if (w == static_cast<UINT>(want.cx) && h == static_cast<UINT>(want.cy))
        return ToBitmap(converter.get(), dibSection);
    // Fant averages the source pixels each target pixel covers: smooth when
    // shrinking, and a soft bilinear-like enlargement above 200 %.
    ComRef<IWICBitmapScaler> scaler;
    if (FAILED(factory->CreateBitmapScaler(scaler.put())) ||
        FAILED(scaler->Initialize(converter.get(), static_cast<UINT>(want.cx), static_cast<UINT>(want.cy),
                                  WICBitmapInterpolationModeFant)))
        return GdiBitmap();
    return ToBitmap(scaler.get(), dibSection);
}
