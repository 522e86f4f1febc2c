#pragma once
// TGraphic, the base of every picture class, and TPicture, which holds one
// graphic and creates it by file extension from the classes registered.

#include "framework/GraphicErrors.h"
#include "framework/SysUtils.h"
#include "framework/win/WinApi.h"

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

namespace qrv {

class TBitmap;
class TStream;

class TGraphic {
public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    // Copies this graphic into another one; refused (EConvertError) unless a
    // class knows the target.
    virtual void AssignTo(TGraphic& target) const;
    virtual void AssignTo(TBitmap& target) const;
    // Takes the contents of another graphic or a bitmap; refused unless a
    // class knows the source.
    virtual void Assign(const TGraphic& source);
    virtual void Assign(const TBitmap& source);

    // Draws the graphic stretched into the rectangle.
    virtual void Draw(HDC dc, const RECT& rect) = 0;
    virtual bool Empty() const = 0;
    virtual int Height() const = 0;
    virtual int Width() const = 0;
    // The logical palette the graphic is drawn with; nullptr when none.
    virtual HPALETTE Palette() { return nullptr; }
    virtual bool Transparent() const { return false; }
    virtual void SetHeight(int height) = 0;
    virtual void SetWidth(int width) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // The clipboard data of one format (the caller owns the clipboard).
    virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) = 0;
    virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) = 0;

    // Through a stream; a class that needs the system's loader of a file
    // reads the file itself.
    virtual void LoadFromFile(const std::wstring& fileName);
    void SaveToFile(const std::wstring& fileName);

    // A graphic may have several frames shown one after the other (an
    // animation); Draw draws the current one.
    virtual int FrameCount() const { return 1; }
    virtual int Frame() const { return 0; }
    virtual void SetFrame(int /*frame*/) {}
    // How long the frame stays, in milliseconds (0: for good).
    virtual int FrameDelay(int /*frame*/) const { return 0; }
    // Called when the current frame's delay is over: the next frame, or
    // for a graphic that keeps time by a clock, the one the clock reached.
    virtual void AdvanceFrame() { SetFrame((Frame() + 1) % FrameCount()); }

    // Called on the UI thread when what Draw shows has changed by itself
    // (an animation's next frame painted), so that its control repaints.
    std::function<void()> OnChange;
};

struct TGraphicFileFormat {
    std::wstring Extension;  // without the dot
    std::wstring Description;
    std::type_index GraphicClass;
    std::function<std::unique_ptr<TGraphic>()> Create;
};

class TPicture {
public:
    // Registers a picture class for files with the extension (compared
    // without regard to case); a later registration of the same extension
    // takes precedence.
    template <class GraphicClass>
    static void RegisterFileFormat(const std::wstring& extension, const std::wstring& description)
    {
        AddFileFormat(
            {extension, description, typeid(GraphicClass), [] { return std::unique_ptr<TGraphic>(new GraphicClass); }});
    }
    // Removes every format of the class.
    template <class GraphicClass>
    static void UnregisterGraphicClass()
    {
        RemoveGraphicClass(typeid(GraphicClass));
    }
    // The format registered for the extension ("png" or ".png"), or nullptr.
    static const TGraphicFileFormat* FindFileFormat(const std::wstring& extension);
    static std::vector<TGraphicFileFormat> FileFormats();

    // Creates the graphic the file's extension names and loads the file;
    // throws EInvalidGraphic for an extension no class is registered for.
    void LoadFromFile(const std::wstring& fileName);
    void SaveToFile(const std::wstring& fileName);
    TGraphic* Graphic() const { return graphic_.get(); }
    // Hands the graphic over; the picture is empty afterwards.
    std::unique_ptr<TGraphic> ReleaseGraphic() { return std::move(graphic_); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

private:
    static void AddFileFormat(TGraphicFileFormat format);
    static void RemoveGraphicClass(std::type_index graphicClass);
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace qrv
