#include "skin/skin_pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

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

// The factory of this thread's PictureDecoding, if one is alive.
thread_local IWICImagingFactory* threadFactory = nullptr;

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

// A picture as 32-bit pixels (blue, green, red, unused), top row first.
struct Pixels {
    std::vector<uint32_t> data;
    int width = 0;
    int height = 0;
};

// The PNG resource of `resourceId` drawn at `scale`, decoded by the imaging component.
bool DecodePng(int resourceId, int scale, Pixels* out)
{
    char type[16];
    PngType(scale, type);
    DWORD size = 0;
    const void* bytes = ResourceBytes(MAKEINTRESOURCEA(resourceId), type, &size);
    if (!bytes)
        return false;
    ComForThisCall com;
    ComRef<IWICImagingFactory> ownFactory;
    IWICImagingFactory* factory = threadFactory;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (!com.usable())
        return false;
    if (!factory) {
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    ownFactory.putVoid())))
            return false;
        factory = ownFactory.get();
    }
    if (FAILED(factory->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(bytes)), size)) ||
        FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT w = 0, h = 0;
    if (FAILED(converter->GetSize(&w, &h)) || w == 0 || h == 0 || w > 0x4000 || h > 0x4000)
        return false;
    out->width = static_cast<int>(w);
    out->height = static_cast<int>(h);
    out->data.assign(static_cast<size_t>(w) * h, 0);
    // In bands of rows: a converter may hold a copy of the source for the rectangle it
    // is asked for (Wine's does), and for a whole background at 200 % that is
    // megabytes more at the start's peak.
    constexpr UINT kBandRows = 64;
    for (UINT top = 0; top < h; top += kBandRows) {
        const UINT rows = h - top < kBandRows ? h - top : kBandRows;
        const WICRect band = {0, static_cast<INT>(top), static_cast<INT>(w), static_cast<INT>(rows)};
        if (FAILED(converter->CopyPixels(&band, w * 4, w * rows * 4,
                                         reinterpret_cast<BYTE*>(out->data.data() + static_cast<size_t>(top) * w))))
            return false;
    }
    // The fourth byte is unused in this format, but some decoders set it: cleared,
    // the pixels read back as those of the 24-bit 100 % pictures do.
    for (uint32_t& pixel : out->data)
        pixel &= 0x00FFFFFFu;
    return true;
}

// The drawing of `resourceId` at `scale`: the BITMAP resource at 100 %, else the PNG.
bool ReadDrawing(int resourceId, int scale, Pixels* out)
{
    if (scale != 100)
        return DecodePng(resourceId, scale, out);
    GdiBitmap bitmap = LoadBitmapResource(resourceId, true);
    SIZE size = {};
    out->data = ReadBitmapPixels(bitmap.get(), &size);
    out->width = size.cx;
    out->height = size.cy;
    return !out->data.empty();
}

// One axis of an area-average resize: each target pixel is the mean of the source
// pixels it covers, weighted by how much of each it covers. Shrinking blends
// neighbours instead of dropping them; enlarging keeps flat areas flat and softens
// each edge over one pixel. alongRows: resize the rows (src is lines rows of
// srcLength), otherwise the columns (src is srcLength rows of lines).
std::vector<uint32_t> ResizeAxis(const std::vector<uint32_t>& src, int srcLength, int dstLength, int lines,
                                 bool alongRows)
{
    std::vector<uint32_t> dst(static_cast<size_t>(dstLength) * lines);
    const double step = static_cast<double>(srcLength) / dstLength;
    for (int i = 0; i < dstLength; ++i) {
        const double from = i * step, to = from + step;
        for (int line = 0; line < lines; ++line) {
            double sum[3] = {0, 0, 0};
            for (int j = static_cast<int>(from); j < srcLength && j < to; ++j) {
                const double weight = (j + 1 < to ? j + 1 : to) - (j > from ? j : from);
                const uint32_t p = alongRows ? src[static_cast<size_t>(line) * srcLength + j]
                                             : src[static_cast<size_t>(j) * lines + line];
                for (int c = 0; c < 3; ++c)
                    sum[c] += weight * ((p >> (8 * c)) & 0xFF);
            }
            uint32_t q = 0;
            for (int c = 0; c < 3; ++c)
                q |= static_cast<uint32_t>(sum[c] / step + 0.5) << (8 * c);
            (alongRows ? dst[static_cast<size_t>(line) * dstLength + i] : dst[static_cast<size_t>(i) * lines + line]) =
                q;
        }
    }
    return dst;
}

Pixels Resize(const Pixels& src, int width, int height)
{
    Pixels out;
    out.width = width;
    out.height = height;
    out.data = ResizeAxis(src.data, src.width, width, src.height, true);  // width x src.height
    out.data = ResizeAxis(out.data, src.height, height, width, false);
    return out;
}

// A bitmap of the pixels: a top-down 32-bit DIB section, or a bitmap compatible
// with the screen filled from them.
GdiBitmap ToBitmap(const Pixels& pixels, bool dibSection)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = pixels.width;
    bi.bmiHeader.biHeight = -pixels.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    ClientDC screen(nullptr);
    if (!dibSection) {
        GdiBitmap ddb(CreateCompatibleBitmap(screen.get(), pixels.width, pixels.height));
        if (!ddb || SetDIBits(screen.get(), ddb.get(), 0, pixels.height, pixels.data.data(), &bi, DIB_RGB_COLORS) !=
                        pixels.height)
            return GdiBitmap();
        return ddb;
    }
    void* bits = nullptr;
    GdiBitmap dib(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits)
        return GdiBitmap();
    std::memcpy(bits, pixels.data.data(), pixels.data.size() * sizeof(uint32_t));
    return dib;
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

SIZE SkinPictureSize(int resourceId, UINT dpi)
{
    SIZE size = DrawnSize100(resourceId);
    size.cx = ScaleToDpi(size.cx, dpi);
    size.cy = ScaleToDpi(size.cy, dpi);
    return size;
}

GdiBitmap LoadSkinPicture(int resourceId, UINT dpi, bool dibSection)
{
    // 0 is what GetDpiForWindow answers for no window: the 96-dpi pictures then.
    if (dpi == 0)
        dpi = USER_DEFAULT_SCREEN_DPI;
    // The most common case needs neither a decoder nor a copy.
    if (dpi == USER_DEFAULT_SCREEN_DPI)
        return LoadBitmapResource(resourceId, dibSection);
    const SIZE want = SkinPictureSize(resourceId, dpi);
    if (want.cx <= 0 || want.cy <= 0)
        return GdiBitmap();
    // A set that lacks the picture (a build that embeds only some) falls back to
    // the 100 % drawing, resized like any in-between scale.
    Pixels drawing;
    if (!ReadDrawing(resourceId, DrawnScaleForDpi(dpi), &drawing) && !ReadDrawing(resourceId, 100, &drawing))
        return GdiBitmap();
    if (drawing.width != want.cx || drawing.height != want.cy)
        drawing = Resize(drawing, want.cx, want.cy);
    return ToBitmap(drawing, dibSection);
}

SharedSkinPicture LoadSharedSkinPicture(int resourceId, UINT dpi)
{
    if (dpi == 0)
        dpi = USER_DEFAULT_SCREEN_DPI;
    // Held weakly: the cache keeps no picture alive that no control shows.
    static std::mutex lock;
    static std::map<std::pair<int, UINT>, std::weak_ptr<const GdiBitmap>> shown;
    std::lock_guard<std::mutex> hold(lock);
    std::weak_ptr<const GdiBitmap>& slot = shown[{resourceId, dpi}];
    if (SharedSkinPicture held = slot.lock())
        return held;
    GdiBitmap bitmap = LoadSkinPicture(resourceId, dpi);
    if (!bitmap)
        return nullptr;
    SharedSkinPicture loaded = std::make_shared<const GdiBitmap>(std::move(bitmap));
    slot = loaded;
    return loaded;
}

PictureDecoding::PictureDecoding(bool active)
{
    if (!active || threadFactory)
        return;
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    com_ = SUCCEEDED(hr);
    if (!com_ && hr != RPC_E_CHANGED_MODE)
        return;
    factory_ = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IWICImagingFactory, reinterpret_cast<void**>(&threadFactory)));
}

PictureDecoding::~PictureDecoding()
{
    if (factory_ && threadFactory) {
        threadFactory->Release();
        threadFactory = nullptr;
    }
    if (com_)
        CoUninitialize();
}
