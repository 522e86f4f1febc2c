#include "mainwindow/win/ListThumbnails.h"

#include "framework/IgnoredError.h"
#include "framework/ScopeExit.h"
#include "framework/win/Picture.h"
#include "imaging/win/SystemPictures.h"
#include "mainwindow/FileDisplayRules.h"
#include "mainwindow/win/PictureConverter.h"
#include "panels/win/DirView.h"
#include "settings/Quorvan32Globals.h"

#include <shlobj.h>
#include <shobjidl.h>

namespace qrv {

namespace {

// The image-extraction interface of the shell ({BB2E617C-0920-11D1-9A0B-00C04FC2D6C1}).
const IID kExtractImage = {0xBB2E617C, 0x0920, 0x11D1, {0x9A, 0x0B, 0x00, 0xC0, 0x4F, 0xC2, 0xD6, 0xC1}};

template <class T>
struct TRelease {
    void operator()(T* p) const
    {
        if (p)
            p->Release();
    }
};

}  // namespace

bool TListThumbnails::FromShell(TDirView& List, const std::wstring& FileName, TPicture& Picture)
{
    PIDLIST_ABSOLUTE absolute = nullptr;
    if (FAILED(SHParseDisplayName(FileName.c_str(), nullptr, &absolute, 0, nullptr)))
        return false;
    TTaskMemory freeAbsolute(absolute);
    IShellFolder* rawFolder = nullptr;
    PCUITEMID_CHILD child = nullptr;
    if (FAILED(SHBindToParent(absolute, IID_IShellFolder, reinterpret_cast<void**>(&rawFolder), &child)))
        return false;
    std::unique_ptr<IShellFolder, TRelease<IShellFolder>> folder(rawFolder);
    IExtractImage* rawExtract = nullptr;
    if (FAILED(
            folder->GetUIObjectOf(nullptr, 1, &child, kExtractImage, nullptr, reinterpret_cast<void**>(&rawExtract))))
        return false;
    std::unique_ptr<IExtractImage, TRelease<IExtractImage>> extract(rawExtract);
    wchar_t location[MAX_PATH] = {};
    const int frame = 2 * List.ThumbFrameSize() + 2;
    SIZE size{List.ThumbWidth() - frame, List.ThumbHeight() - frame};
    DWORD priority = 0;
    DWORD flags = IEIFLAG_OFFLINE | IEIFLAG_SCREEN;
    const HRESULT located = extract->GetLocation(location, MAX_PATH, &priority, &size, 32, &flags);
    if (FAILED(located) && located != E_PENDING)
        return false;
    HBITMAP bitmap = nullptr;
    if (FAILED(extract->Extract(&bitmap)) || !bitmap)
        return false;
    auto graphic = std::make_unique<TDecodedBitmapGraphic>();
    TGdiObject owned(bitmap);
    graphic->LoadFromClipboardFormat(CF_BITMAP, owned.Get(), nullptr);
    Picture.SetGraphic(std::move(graphic));
    return true;
}

bool TListThumbnails::FromConverter(const std::wstring& FileName, TPicture& Picture)
{
    if (!converter_ || !InExtFamily(options_, ConvertExts, ShortExtension(FileName)) || !converter_->Start())
        return false;
    TConvertResult result = converter_->Convert(FileName, 5000, true);
    if (result.Outcome != TConvertOutcome::Picture)
        return false;
    auto graphic = std::make_unique<TDecodedBitmapGraphic>();
    graphic->LoadFromClipboardFormat(CF_BITMAP, result.Bitmap.Get(), static_cast<HPALETTE>(result.Palette.Get()));
    Picture.SetGraphic(std::move(graphic));
    return true;
}

bool TListThumbnails::FromPictureClass(TDirView& List, const std::wstring& FileName, const std::wstring& ShortExt,
                                       TPicture& Picture)
{
    if (ShortExt == L".BMP") {
        auto bitmap = std::make_unique<TBmpGraphic>();
        bitmap->LoadFromFile(FileName);
        Picture.SetGraphic(std::move(bitmap));
        return !Picture.Graphic()->Empty();
    }
    // JPEG pictures at the adaptive scale; full size again afterwards,
    // also when the load fails.
    SetJpegDecodeScale(jpegScale_.Scale());
    ScopeExit fullSize([] { SetJpegDecodeScale(0); });
    Picture.LoadFromFile(FileName);
    if (IsJpegExt(ShortExt) && Picture.Graphic() && jpegScale_.Decoded(Picture.Width(), List.ThumbWidth())) {
        SetJpegDecodeScale(0);
        Picture.LoadFromFile(FileName);
    }
    return Picture.Graphic() && !Picture.Graphic()->Empty();
}

void TListThumbnails::GetPicture(TDirView& List, const std::wstring& FileName, const std::shared_ptr<void>& PIDL,
                                 TPicture& Picture)
{
    if (terminating_ && terminating_())
        return;
    TThumbSourceFacts facts;
    facts.ShortExt = ShortExtension(FileName);
    facts.ShellThumbnails = true;
    facts.HasItem = PIDL != nullptr || !FileName.empty();
    facts.PictureExt = InExtFamily(options_, PictureExts, facts.ShortExt);
    for (const TThumbSource source : ThumbnailSources(facts)) {
        try {
            switch (source) {
            case TThumbSource::Shell:
                if (FromShell(List, FileName, Picture))
                    return;
                break;
            case TThumbSource::Converter:
                if (FromConverter(FileName, Picture))
                    return;
                break;
            case TThumbSource::Bitmap:
            case TThumbSource::Picture:
                if (FromPictureClass(List, FileName, facts.ShortExt, Picture))
                    return;
                break;
            }
        } catch (const std::exception&) {
            // The next source is tried: a file a class refuses may still be
            // one the converter reads.
            TraceIgnoredException(L"a thumbnail's picture");
            Picture.SetGraphic(nullptr);
        }
    }
}

}  // namespace qrv
