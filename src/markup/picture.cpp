#include "markup/picture.h"

#include "markup/gif_frames.h"
#include "markup/markup_text.h"

namespace vt9 {
namespace {

int HimetricToPixels(int himetric, int dpi) { return MulDivRound(himetric, dpi, 2540); }

}  // namespace

void MarkupPicture::LoadFromSource(const std::string& source) {
  std::string upper = markup::ToUpper(source);
  if (upper.rfind("RES://", 0) == 0) {
    id_ = source;
    std::optional<std::string> bytes;
    if (loader_) bytes = loader_->ReadResource(source.substr(6));
    if (bytes) LoadFromBytes(std::move(*bytes));
  } else if (upper.rfind("FILE://", 0) == 0) {
    id_ = source;
    LoadFromFile(source.substr(7));
  } else if (!asyncLoading) {
    id_ = source;
    downloadAddress_ = source;
  } else {
    // No download is provided: the address is kept and the picture stays empty.
    downloadAddress_ = source;
  }
}

void MarkupPicture::LoadFromFile(const std::string& path) {
  try {
    std::optional<std::string> bytes;
    if (loader_) bytes = loader_->ReadFile(path);
    if (bytes) LoadFromBytes(std::move(*bytes));
  } catch (const PictureError&) {
    bytes_.clear();
    decoded_.reset();
    empty_ = true;
  }
}

void MarkupPicture::LoadFromBytes(std::string bytes) {
  bytes_ = std::move(bytes);
  frameCount_ = -1;
  decoded_.reset();
  empty_ = true;
  Decode();
}

void MarkupPicture::Decode() {
  if (!loader_) throw PictureError("Could not load image");
  markup::GifFrame frame = markup::SelectGifFrame(bytes_, frame_);
  frameLeft_ = frame.left;
  frameTop_ = frame.top;
  screenWidth_ = frame.screenWidth;
  screenHeight_ = frame.screenHeight;
  decoded_ = loader_->Decode(frame.bytes);
  if (!decoded_) throw PictureError("Could not load image");
  empty_ = false;
}

int MarkupPicture::Width() const {
  return decoded_ ? HimetricToPixels(decoded_->WidthHimetric(), 96) : 0;
}
int MarkupPicture::Height() const {
  return decoded_ ? HimetricToPixels(decoded_->HeightHimetric(), 96) : 0;
}
int MarkupPicture::FrameWidth() const { return screenWidth_ != 0 ? screenWidth_ : Width(); }
int MarkupPicture::FrameHeight() const { return screenHeight_ != 0 ? screenHeight_ : Height(); }

int MarkupPicture::FrameCount() const {
  if (frameCount_ < 0) frameCount_ = markup::CountGifFrames(bytes_);
  return frameCount_;
}

void MarkupPicture::SetFrame(int frame) {
  frame_ = frame;
  if (!bytes_.empty()) {
    decoded_.reset();
    empty_ = true;
    Decode();
  }
  if (onFrameChange) onFrameChange();
}

void MarkupPicture::Draw(Canvas& canvas, const Rect& r) const {
  if (!decoded_) return;
  if (stretch) {
    canvas.DrawPicture(*decoded_, r);
    return;
  }
  int dpi = canvas.PixelsPerInch();
  Rect natural{r.left, r.top, r.left + HimetricToPixels(decoded_->WidthHimetric(), dpi),
               r.top + HimetricToPixels(decoded_->HeightHimetric(), dpi)};
  canvas.DrawPicture(*decoded_, natural);
}

PictureContainer::Item& PictureContainer::Add(const std::string& name) {
  auto item = std::make_unique<Item>(Item{name, 0, MarkupPicture(loader_)});
  items_.push_back(std::move(item));
  return *items_.back();
}

MarkupPicture* PictureContainer::Find(const std::string& name) const {
  std::string wanted = markup::ToUpper(name);
  for (const auto& item : items_) {
    if (markup::ToUpper(item->name) == wanted) return &item->picture;
  }
  return nullptr;
}

MarkupPicture* MarkupPictureCache::Find(const std::string& id) const {
  for (const auto& p : pictures_) {
    if (p->Id() == id) return p.get();
  }
  return nullptr;
}

MarkupPicture& MarkupPictureCache::Add() {
  pictures_.push_back(std::make_unique<MarkupPicture>(loader_));
  return *pictures_.back();
}

}  // namespace vt9
