#pragma once
// The stream items of a GIF file other than the frames' pixels: the item
// base and the extension blocks a frame carries (graphic control, plain
// text, comment, application blocks with the loop block), with the
// registries that map a label or an application identifier read from a file
// to its class. Portable.

#include "imaging/GifStream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qrv {

class TGIFDocument;
class TGIFFrame;
class TStream;

// Base of the parts of a GIF file.
class TGIFItem {
public:
    explicit TGIFItem(TGIFDocument* document) : document_(document) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    // Through a file: opened for reading with deny-write sharing, or created.
    void LoadFromFile(const std::wstring& fileName);
    void SaveToFile(const std::wstring& fileName) const;
    // The format version the item needs: 1 for 87a, 2 for 89a.
    virtual int Version() const { return 1; }
    // A tolerated defect, reported to the document's sink with this item as
    // the sender.
    void Warning(const wchar_t* message) const;
    TGIFDocument* Document() const { return document_; }

private:
    TGIFDocument* document_;
};

// Base of the extension blocks ("!", label, data sub-blocks).
class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFFrame* frame);
    virtual uint8_t Label() const = 0;
    int Version() const override { return 2; }
    TGIFFrame* Frame() const { return frame_; }
    // Reads introducer and label (an introducer other than "!" or another
    // label raises), then the data.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

protected:
    virtual void LoadData(TStream& stream) = 0;
    virtual void SaveData(TStream& stream) const = 0;

private:
    TGIFFrame* frame_;
};

// Transparency, delay and disposal of the frame that follows.
class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static constexpr uint8_t kClassLabel = 0xF9;
    using TGIFExtension::TGIFExtension;
    uint8_t Label() const override { return kClassLabel; }

    bool Transparent() const { return (Packed & 0x01) != 0; }
    void SetTransparent(bool transparent) { Packed = static_cast<uint8_t>((Packed & ~0x01) | (transparent ? 1 : 0)); }
    bool UserInput() const { return (Packed & 0x02) != 0; }
    int Disposal() const { return (Packed >> 2) & 0x07; }
    void SetDisposal(int disposal) { Packed = static_cast<uint8_t>((Packed & ~0x1C) | ((disposal & 7) << 2)); }
    uint8_t TransparentColorIndex() const { return transparentIndex_; }
    // An index past the frame's colour table warns "Invalid color index" and
    // is kept: only pixels holding it are transparent.
    void SetTransparentColorIndex(uint8_t index);

    uint8_t Packed = 0;
    uint16_t Delay = 0;  // 1/100 s

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) const override;

private:
    uint8_t transparentIndex_ = 0;
};

// Text drawn over the frame on a character grid; kept and written back.
class TGIFTextExtension : public TGIFExtension {
public:
    static constexpr uint8_t kClassLabel = 0x01;
    using TGIFExtension::TGIFExtension;
    uint8_t Label() const override { return kClassLabel; }

    uint16_t Left = 0, Top = 0, GridWidth = 0, GridHeight = 0;
    uint8_t CellWidth = 0, CellHeight = 0, ForegroundColorIndex = 0, BackgroundColorIndex = 0;
    std::vector<std::string> Text;

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) const override;
};

class TGIFCommentExtension : public TGIFExtension {
public:
    static constexpr uint8_t kClassLabel = 0xFE;
    using TGIFExtension::TGIFExtension;
    uint8_t Label() const override { return kClassLabel; }

    std::vector<std::string> Text;

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) const override;
};

// An application block: its identifier block (8-byte application name and
// 3-byte authentication code) and its data.
class TGIFApplicationExtension : public TGIFExtension {
public:
    static constexpr uint8_t kClassLabel = 0xFF;
    using TGIFExtension::TGIFExtension;
    uint8_t Label() const override { return kClassLabel; }

    // The 11 identifier bytes ("NETSCAPE2.0"), padded with 0 bytes when the
    // block is shorter.
    std::string Identifier() const;
    void SetIdentifier(const std::string& identifier);
    // The identifier block exactly as read (10 to 255 bytes); written back as
    // it is.
    const std::string& IdentifierBlock() const { return identifierBlock_; }

protected:
    void LoadData(TStream& stream) override;
    void SaveData(TStream& stream) const override;
    virtual void LoadApplicationData(TStream& stream) = 0;
    virtual void SaveApplicationData(TStream& stream) const = 0;

private:
    std::string identifierBlock_ = std::string(11, '\0');
};

// The loop block of animations ("NETSCAPE2.0", read also as "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFFrame* frame);
    uint16_t LoopCount = 0;  // 0: endless
    uint32_t BufferSize = 0;

protected:
    void LoadApplicationData(TStream& stream) override;
    void SaveApplicationData(TStream& stream) const override;
};

// Any other application block: its data sub-blocks kept as they are.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    std::vector<std::string> Blocks;

protected:
    void LoadApplicationData(TStream& stream) override;
    void SaveApplicationData(TStream& stream) const override;
};

using TGIFExtensionFactory = std::function<std::unique_ptr<TGIFExtension>(TGIFFrame*)>;
// The registries are made with the built-in classes on first use; a later
// registration of the same label or identifier takes precedence. Safe from
// any thread.
void RegisterGIFExtension(uint8_t label, TGIFExtensionFactory factory);
void RegisterGIFApplicationExtension(const std::string& identifier, TGIFExtensionFactory factory);
// Creates the extension whose block starts at the stream's position, which
// is left there; raises "Unknown extension type" for a label no class reads.
std::unique_ptr<TGIFExtension> CreateGIFExtension(TGIFFrame* frame, TStream& stream);

}  // namespace qrv
