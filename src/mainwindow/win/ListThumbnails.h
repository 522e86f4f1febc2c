#pragma once
// TListThumbnails: the pictures of the lists' thumbnails. The shell's
// thumbnail extraction for the types it draws well, then the program's own
// picture classes for its picture extensions (JPEG at the adaptive scale),
// and the external converter for the rest and for what the classes refuse
// (mainwindow/ThumbnailSource.h decides the order).

#include "mainwindow/ThumbnailSource.h"

#include <functional>
#include <memory>
#include <string>

namespace qrv {

class TDirView;
class TPicture;
class TPictureConverter;
struct TOptions;

class TListThumbnails {
public:
    // Terminating: no thumbnails while the program ends.
    TListThumbnails(const TOptions& Options, TPictureConverter* Converter, std::function<bool()> Terminating)
        : options_(Options), converter_(Converter), terminating_(std::move(Terminating))
    {}

    // The OnGetPicture handler of both lists; Picture stays empty when no
    // source gives one.
    void GetPicture(TDirView& List, const std::wstring& FileName, const std::shared_ptr<void>& PIDL, TPicture& Picture);
    const TJpegThumbScale& JpegScale() const { return jpegScale_; }

private:
    bool FromShell(TDirView& List, const std::wstring& FileName, TPicture& Picture);
    bool FromConverter(const std::wstring& FileName, TPicture& Picture);
    bool FromPictureClass(TDirView& List, const std::wstring& FileName, const std::wstring& ShortExt,
                          TPicture& Picture);

    const TOptions& options_;
    TPictureConverter* converter_;
    std::function<bool()> terminating_;
    TJpegThumbScale jpegScale_;
};

}  // namespace qrv
