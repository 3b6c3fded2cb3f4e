// Pictures named by markup image sources: the picture a markup IMG or BODY background shows,
// the named pictures a form owns (picture container) and the pictures a widget loaded by
// address (picture cache). Decoding goes through the platform's PictureLoader.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"

namespace vt9 {

// One image: its encoded bytes and the decoded picture of the selected frame.
class MarkupPicture {
 public:
  explicit MarkupPicture(PictureLoader* loader = nullptr) : loader_(loader) {}

  // "RES://name" (prefix in any letter case): the program's RCDATA resource, decoded; a missing
  // resource loads nothing, a decoding failure throws PictureError. "FILE://path": the file,
  // decoded; any failure leaves the picture empty. Anything else: with asynchronous loading on
  // only the download address is recorded, otherwise the text becomes the ID and download
  // address; such a picture stays empty (no download is provided).
  void LoadFromSource(const std::string& source);
  // Reads and decodes the file; any failure leaves the picture empty without an error.
  void LoadFromFile(const std::string& path);
  // Takes the bytes and decodes them; throws PictureError when they cannot be decoded.
  void LoadFromBytes(std::string bytes);

  bool Empty() const { return empty_; }
  const std::string& Id() const { return id_; }
  const std::string& DownloadAddress() const { return downloadAddress_; }
  const std::string& Bytes() const { return bytes_; }
  const Picture* Decoded() const { return decoded_.get(); }

  bool asyncLoading = true;
  bool stretch = false;

  // Size of the decoded picture in pixels at a fixed 96 dpi; 0 without one.
  int Width() const;
  int Height() const;
  // The GIF logical screen size when known, else Width()/Height().
  int FrameWidth() const;
  int FrameHeight() const;
  // Offset of the selected GIF frame inside the logical screen (0 when not a GIF).
  int FrameLeft() const { return frameLeft_; }
  int FrameTop() const { return frameTop_; }

  // Number of animation frames (GIF graphic-control blocks directly followed by an image); 0
  // for other data. Counted once per assignment of bytes.
  int FrameCount() const;
  int Frame() const { return frame_; }
  // Selects the frame (from 1), re-decodes when bytes are present (a PictureError from the
  // decoder propagates) and calls onFrameChange.
  void SetFrame(int frame);
  std::function<void()> onFrameChange;

  // With `stretch`, renders into the whole rectangle; otherwise at the natural size for the
  // canvas's pixels per inch, at the rectangle's top-left.
  void Draw(Canvas& canvas, const Rect& r) const;

 private:
  void Decode();

  PictureLoader* loader_;
  std::string bytes_;
  bool empty_ = true;
  std::unique_ptr<Picture> decoded_;
  std::string id_;
  std::string downloadAddress_;
  int frame_ = 1;
  mutable int frameCount_ = -1;
  int frameLeft_ = 0;
  int frameTop_ = 0;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
};

// Named pictures owned by a form; names compare without regard to letter case.
class PictureContainer {
 public:
  struct Item {
    std::string name;
    int tag = 0;
    MarkupPicture picture;
  };
  explicit PictureContainer(PictureLoader* loader = nullptr) : loader_(loader) {}
  Item& Add(const std::string& name);
  // The picture of the first item with that name, or nullptr.
  MarkupPicture* Find(const std::string& name) const;
  const std::vector<std::unique_ptr<Item>>& Items() const { return items_; }

 private:
  PictureLoader* loader_;
  std::vector<std::unique_ptr<Item>> items_;
};

// Pictures loaded by address for one widget; IDs compare exactly (letter case matters).
class MarkupPictureCache {
 public:
  explicit MarkupPictureCache(PictureLoader* loader = nullptr) : loader_(loader) {}
  MarkupPicture* Find(const std::string& id) const;
  // Appends a new empty picture.
  MarkupPicture& Add();
  std::size_t Size() const { return pictures_.size(); }

 private:
  PictureLoader* loader_;
  std::vector<std::unique_ptr<MarkupPicture>> pictures_;
};

}  // namespace vt9
