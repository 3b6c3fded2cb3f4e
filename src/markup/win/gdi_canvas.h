// The canvas over a Win32 device context: text with DrawTextA, fonts created on demand from
// their description and cached for the canvas's lifetime, pictures decoded by OleLoadPicture.
#pragma once

#include <windows.h>
// The image-list and OLE picture declarations need <windows.h> first.
#include <commctrl.h>
#include <olectl.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/canvas.h"

namespace vt9::win {

// Drawing on an HDC the caller owns (a paint DC, a memory DC, a printer DC). The constructor
// remembers the DC's font, brush, pen, text colour and background mode and the destructor puts
// them back, so the DC can be used and released normally afterwards; the fonts, brushes and pens
// this canvas created are deleted then.
class GdiCanvas : public Canvas {
 public:
  explicit GdiCanvas(HDC dc);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  HDC dc() const { return dc_; }

  int PixelsPerInch() const override;
  Color ResolveColor(Color c) const override;
  const FontSpec& Font() const override { return font_; }
  void SetFont(const FontSpec& font) override;
  Color BrushColor() const override { return brush_; }
  void SetBrushColor(Color c) override;
  Color PenColor() const override { return pen_; }
  int PenWidth() const override { return penWidth_; }
  void SetPen(Color c, int width) override;
  Size TextExtent(std::string_view text) override;
  std::size_t FitText(std::string_view text, int maxWidth, int& width) override;
  // Plain runs go out without an advance array: for a device that measured the text itself (a
  // printer DC of the printer the layout measured on), where the array only adds to the spool.
  void SetDeviceAdvances(bool on) { deviceAdvances_ = on; }
  Size MeasureText(std::string_view text, const TextFlags& flags) override;
  void DrawText(std::string_view text, const Rect& r, const TextFlags& flags) override;
  void FillRect(const Rect& r) override;
  void Rectangle(const Rect& r) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void DrawFocusRect(const Rect& r) override;
  void PushClip(const Rect& r) override;
  void PopClip() override;
  void DrawPicture(const Picture& picture, const Rect& dest) override;
  void DrawListImage(const ImageList& list, int index, const Rect& dest) override;
  Size SystemIconSize(bool large) override;
  void DrawSystemIcon(const std::string& source, bool large, const Rect& dest) override;

 private:
  HFONT FontHandle(const FontSpec& wanted);
  void SelectCurrentFont();
  void SelectBrushAndPen();

  HDC dc_;
  int savedDc_;
  FontSpec font_;
  Color brush_ = kColorNone;
  Color pen_ = kColorBlack;
  int penWidth_ = 1;
  bool deviceAdvances_ = false;
  // Every character's advance in the current font, read with one GetTextExtentExPoint call, so
  // fitting a line needs no further call; empty when the font or code page do not add up
  // character by character (kerning, double-byte characters).
  std::vector<int> advances_;
  bool advancesRead_ = false;
  std::map<std::tuple<std::string, int, unsigned, int>, HFONT> fonts_;
  std::map<Color, HBRUSH> brushes_;
  std::map<std::pair<Color, int>, HPEN> pens_;
  std::vector<std::intptr_t> clipSaves_;  // clip regions saved by PushClip (HRGN or 0)
};

// An image list for IDX: image sources; owns the HIMAGELIST only when told to.
class GdiImageList : public ImageList {
 public:
  GdiImageList(HIMAGELIST list, bool owned) : list_(list), owned_(owned) {}
  ~GdiImageList() override;
  GdiImageList(const GdiImageList&) = delete;
  GdiImageList& operator=(const GdiImageList&) = delete;
  HIMAGELIST get() const { return list_; }
  int Count() const override;
  int ImageWidth() const override;
  int ImageHeight() const override;

 private:
  HIMAGELIST list_;
  bool owned_;
};

// Decodes pictures with OleLoadPicture over a stream on a global memory block; reads RCDATA
// resources of `module` (the program itself when null) and files.
class OlePictureLoader : public PictureLoader {
 public:
  explicit OlePictureLoader(HMODULE module = nullptr) : module_(module) {}
  std::unique_ptr<Picture> Decode(std::string_view bytes) override;
  std::optional<std::string> ReadResource(const std::string& name) override;
  std::optional<std::string> ReadFile(const std::string& path) override;

 private:
  HMODULE module_;
};

}  // namespace vt9::win
