// The study's text through GDI onto a DIB section, and its stills through the imaging
// component's PNG encoder.
#include "windows_study_output.h"

#include "study_mode.h"

#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <cstdio>

namespace windows {

namespace {

// The picture's twin that GDI draws on: a top-down 32-bit DIB, the same layout as the picture.
struct TextCanvas {
    HDC dc = nullptr;
    std::uint32_t* bits = nullptr;
};

TextCanvas& Canvas() {
    static TextCanvas canvas = [] {
        TextCanvas made;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = platform::kStudyWidth;
        info.bmiHeader.biHeight = -platform::kStudyHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        if (bitmap == nullptr || dc == nullptr) {
            return made;
        }
        SelectObject(dc, bitmap);
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(255, 255, 255));
        made.dc = dc;
        made.bits = static_cast<std::uint32_t*>(bits);
        return made;
    }();
    return canvas;
}

// Releases a COM interface at the end of a scope.
template <typename Interface> struct Held {
    Interface* p = nullptr;
    ~Held() {
        if (p != nullptr) {
            p->Release();
        }
    }
};

bool Failed(HRESULT result, const char* step, std::string& error) {
    if (SUCCEEDED(result)) {
        return false;
    }
    char text[96];
    std::snprintf(text, sizeof(text), "%s failed with 0x%08lx", step,
                  static_cast<unsigned long>(result));
    error = text;
    return true;
}

bool EncodePng(const std::wstring& path, const std::uint32_t* pixels, std::string& error) {
    Held<IWICImagingFactory> factory;
    if (Failed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&factory.p)),
               "the imaging component", error)) {
        return false;
    }
    Held<IWICStream> stream;
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    Held<IPropertyBag2> options;
    if (Failed(factory.p->CreateStream(&stream.p), "CreateStream", error) ||
        Failed(stream.p->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "opening the file",
               error) ||
        Failed(factory.p->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p),
               "the PNG encoder", error) ||
        Failed(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache), "Initialize", error) ||
        Failed(encoder.p->CreateNewFrame(&frame.p, &options.p), "CreateNewFrame", error) ||
        Failed(frame.p->Initialize(options.p), "the frame", error) ||
        Failed(frame.p->SetSize(platform::kStudyWidth, platform::kStudyHeight), "SetSize", error)) {
        return false;
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (Failed(frame.p->SetPixelFormat(&format), "SetPixelFormat", error)) {
        return false;
    }
    if (!IsEqualGUID(format, GUID_WICPixelFormat24bppBGR)) {
        error = "the PNG encoder takes no 24-bit pixels";
        return false;
    }
    constexpr UINT kStride = platform::kStudyWidth * 3;
    std::vector<BYTE> rows(kStride * platform::kStudyHeight);
    for (int i = 0; i < platform::kStudyWidth * platform::kStudyHeight; ++i) {
        rows[i * 3] = static_cast<BYTE>(pixels[i]);
        rows[i * 3 + 1] = static_cast<BYTE>(pixels[i] >> 8);
        rows[i * 3 + 2] = static_cast<BYTE>(pixels[i] >> 16);
    }
    return !Failed(frame.p->WritePixels(platform::kStudyHeight, kStride,
                                        static_cast<UINT>(rows.size()), rows.data()),
                   "WritePixels", error) &&
           !Failed(frame.p->Commit(), "the frame's Commit", error) &&
           !Failed(encoder.p->Commit(), "the file's Commit", error);
}

std::wstring Wide(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

} // namespace

void DrawGdiText(platform::StudyPicture& picture, int x, int y,
                 const std::vector<std::string>& lines) {
    TextCanvas& canvas = Canvas();
    if (canvas.dc == nullptr || lines.empty()) {
        return;
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(canvas.dc, &metrics);
    int width = 0;
    for (const std::string& line : lines) {
        SIZE size{};
        GetTextExtentPoint32A(canvas.dc, line.c_str(), static_cast<int>(line.size()), &size);
        width = std::max(width, static_cast<int>(size.cx));
    }
    const int lineHeight = metrics.tmHeight;
    platform::DarkenBox(picture, x - 2, y - 1, x + width + 2,
                        y + lineHeight * static_cast<int>(lines.size()) + 1);
    GdiFlush();
    std::copy(picture.begin(), picture.end(), canvas.bits);
    for (const std::string& line : lines) {
        TextOutA(canvas.dc, x, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
    GdiFlush();
    std::copy(canvas.bits, canvas.bits + picture.size(), picture.begin());
}

bool WriteStillWithCodecs(const std::string& path, const std::string& line,
                          const std::uint32_t* pixels, std::string& error) {
    // The main thread's apartment: this one, or the one the program already has.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool written = EncodePng(Wide(path), pixels, error);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    if (!written) {
        return false;
    }
    platform::AppendStillLine(path, line);
    return true;
}

} // namespace windows
