#include "framework/win/Picture.h"

#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <mutex>

namespace qrv {

namespace {

std::vector<TGraphicFileFormat>& Formats()
{
    static std::vector<TGraphicFileFormat> formats;
    return formats;
}

std::mutex& FormatsLock()
{
    static std::mutex lock;
    return lock;
}

// The extension of a file name with its dot, empty when it has none.
std::wstring FileExtension(const std::wstring& fileName)
{
    const size_t dot = fileName.find_last_of(L"./\\:");
    return dot != std::wstring::npos && fileName[dot] == L'.' ? fileName.substr(dot) : std::wstring();
}

std::wstring WithoutDot(const std::wstring& extension)
{
    return !extension.empty() && extension[0] == L'.' ? extension.substr(1) : extension;
}

}  // namespace

void TGraphic::AssignTo(TGraphic&) const
{
    throw EConvertError(L"Die Grafik kann nicht in dieses Format umgewandelt werden.");
}

void TGraphic::AssignTo(TBitmap&) const
{
    throw EConvertError(L"Die Grafik kann nicht in eine Bitmap umgewandelt werden.");
}

void TGraphic::Assign(const TGraphic& source)
{
    source.AssignTo(*this);
}

void TGraphic::Assign(const TBitmap&)
{
    throw EConvertError(L"Eine Bitmap kann dieser Grafik nicht zugewiesen werden.");
}

void TGraphic::LoadFromFile(const std::wstring& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::wstring& fileName)
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TPicture::AddFileFormat(TGraphicFileFormat format)
{
    std::lock_guard guard(FormatsLock());
    format.Extension = WithoutDot(format.Extension);
    Formats().push_back(std::move(format));
}

void TPicture::RemoveGraphicClass(std::type_index graphicClass)
{
    std::lock_guard guard(FormatsLock());
    auto& formats = Formats();
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TGraphicFileFormat& f) { return f.GraphicClass == graphicClass; }),
                  formats.end());
}

const TGraphicFileFormat* TPicture::FindFileFormat(const std::wstring& extension)
{
    std::lock_guard guard(FormatsLock());
    const std::wstring wanted = WithoutDot(extension);
    const auto& formats = Formats();
    for (auto it = formats.rbegin(); it != formats.rend(); ++it)
        if (SameText(it->Extension, wanted))
            return &*it;
    return nullptr;
}

std::vector<TGraphicFileFormat> TPicture::FileFormats()
{
    std::lock_guard guard(FormatsLock());
    return Formats();
}

void TPicture::LoadFromFile(const std::wstring& fileName)
{
    const std::wstring extension = FileExtension(fileName);
    const TGraphicFileFormat* format = FindFileFormat(extension);
    if (!format)
        throw EInvalidGraphic(L"Unbekannte Erweiterung der Grafikdatei (" + extension + L")");
    std::unique_ptr<TGraphic> graphic = format->Create();
    graphic->LoadFromFile(fileName);
    graphic_ = std::move(graphic);
}

void TPicture::SaveToFile(const std::wstring& fileName)
{
    if (graphic_)
        graphic_->SaveToFile(fileName);
}

}  // namespace qrv
