// Images of the markup and the pictures behind them: image-list entries, the picture cache and
// container, animated GIF frames, and decoding failures.
#include <gtest/gtest.h>

#include "markup/gif_frames.h"
#include "markup/picture.h"
#include "markup/render.h"
#include "support/fake_canvas.h"
#include "support/gif_maker.h"

namespace vt9 {
namespace {

using test::FakeCanvas;
using test::FakeImageList;
using test::FakePictureLoader;

struct Scene {
  FakeCanvas canvas{FakeCanvas::HandCountable()};
  FakePictureLoader loader;
  MarkupPictureCache cache{&loader};
  MarkupParams params;
  Scene() {
    params.bounds = {0, 0, 200, 1000};
    params.pictureCache = &cache;
  }
  MarkupResult Render(std::string_view text) {
    canvas.log.clear();
    canvas.texts.clear();
    return RenderMarkup(canvas, text, params);
  }
  std::string Log() const { return canvas.Log(); }
};

TEST(MarkupImages, ImageListIndexBelowTheCountIsDrawnElseSkipped) {
  Scene s;
  FakeImageList three(3, 16, 16);
  s.params.images = &three;
  MarkupResult r = s.Render("<IMG src=\"IDX:2\">b");
  EXPECT_NE(s.Log().find("listimage 2 1,0,17,16"), std::string::npos) << s.Log();
  EXPECT_EQ(s.canvas.texts[0].rect.left, 17);
  EXPECT_EQ(r.lines[0].width, 26);

  FakeImageList two(2, 16, 16);
  s.params.images = &two;
  r = s.Render("a<IMG src=\"IDX:2\">b<IMG src=\"idx:-1\">");
  EXPECT_EQ(s.Log().find("listimage"), std::string::npos);
  EXPECT_EQ(s.canvas.texts[1].rect.left, 11);
  s.params.images = nullptr;
  r = s.Render("a<IMG src=\"IDX:0\">b");
  EXPECT_EQ(s.Log().find("listimage"), std::string::npos);
}

TEST(MarkupImages, ImageSizesScaleWithPixelsPerInch) {
  Scene s;
  s.canvas.ppi = 192;
  FakeImageList list(1, 16, 16);
  s.params.images = &list;
  MarkupResult r = s.Render("<IMG src=\"IDX:0\">");
  EXPECT_NE(s.Log().find("listimage 0 1,0,17,16"), std::string::npos);  // drawn at its size
  EXPECT_EQ(r.lines[0].width, 32);                                      // reserves 2x
  EXPECT_EQ(r.lines[0].height, 32);

  s.loader.resources["Pic"] = "IMG:10x8";
  r = s.Render("<IMG src=\"RES://Pic\" width=\"32\" height=\"32\">");
  EXPECT_NE(s.Log().find("picture 1,0,33,32"), std::string::npos) << s.Log();
  EXPECT_EQ(r.lines[0].width, 64);
  EXPECT_EQ(r.lines[0].height, 64);
}

TEST(MarkupImages, ResourcePicturesAreLoadedOnceAndFoundByExactText) {
  Scene s;
  s.loader.resources["Pic"] = "IMG:10x8";
  MarkupResult r = s.Render("<IMG src=\"RES://Pic\">x");
  EXPECT_NE(s.Log().find("picture 1,0,11,8"), std::string::npos) << s.Log();
  EXPECT_EQ(r.lines[0].width, 20);
  s.Render("<IMG src=\"RES://Pic\">x");
  EXPECT_EQ(s.loader.decoded.size(), 1u);
  EXPECT_EQ(s.cache.Size(), 1u);
  s.Render("<IMG src=\"res://Pic\">");
  EXPECT_EQ(s.cache.Size(), 2u);
  EXPECT_NE(s.Log().find("picture"), std::string::npos);
}

TEST(MarkupImages, OtherSchemesAndMissingFilesGiveEmptyEntriesWithoutImages) {
  Scene s;
  MarkupResult r = s.Render("<IMG src=\"http://example.com/a.png\">x");
  EXPECT_EQ(s.cache.Size(), 1u);
  EXPECT_TRUE(s.cache.Find("http://example.com/a.png")->Empty());
  EXPECT_EQ(s.Log().find("picture"), std::string::npos);
  EXPECT_EQ(r.lines[0].width, 10);
  s.Render("<IMG src=\"http://example.com/a.png\"><IMG src=\"FILE://C:\\missing.bmp\">");
  EXPECT_EQ(s.cache.Size(), 2u);
  EXPECT_TRUE(s.cache.Find("FILE://C:\\missing.bmp")->Empty());
}

TEST(MarkupImages, AnImageThatCannotBeDecodedIsLeftOutAndReported) {
  Scene s;
  s.loader.resources["Bad"] = "not an image";
  s.loader.resources["Worse"] = "GIF8";   // truncated: not even a header
  s.loader.files["broken.gif"] = "GIF8";  // a file that cannot be decoded is left out quietly
  MarkupResult r;
  ASSERT_NO_THROW(r = s.Render("a<IMG src=\"RES://Bad\">b<IMG src=\"FILE://broken.gif\">c"
                               "<IMG src=\"RES://Worse\">"));
  // Each failing picture is reported once: both, not only the first.
  EXPECT_EQ(r.imageErrors, (std::vector<std::string>{"Could not load image. Invalid format",
                                                     "Could not load image. Invalid format"}));
  EXPECT_EQ(s.canvas.texts.size(), 3u);
  EXPECT_EQ(s.Log().find("picture"), std::string::npos);
  // The failed entries stay in the cache: the next paint neither decodes nor reports them.
  const std::size_t decodes = s.loader.decoded.size();
  r = s.Render("<IMG src=\"RES://Bad\"><IMG src=\"FILE://broken.gif\"><IMG src=\"RES://Worse\">");
  EXPECT_EQ(s.loader.decoded.size(), decodes);
  EXPECT_TRUE(r.imageErrors.empty());
}

TEST(MarkupImages, ContainerPicturesAreFoundByNameInAnyCase) {
  Scene s;
  PictureContainer container(&s.loader);
  container.Add("Logo").picture.LoadFromBytes("IMG:5x6");
  s.params.pictureContainer = &container;
  s.Render("<IMG src=\"LOGO\"><IMG src=\"other\">");
  EXPECT_NE(s.Log().find("picture 1,0,6,6"), std::string::npos) << s.Log();
  EXPECT_EQ(container.Find("logo"), &container.Items()[0]->picture);
  EXPECT_EQ(container.Find("nothing"), nullptr);
}

TEST(MarkupImages, AnimatedGifDrawsTheSelectedFrameAtItsOffset) {
  Scene s;
  s.loader.resources["Anim"] =
      test::MakeGif(40, 30, {{0, 0, 10, 10, 1}, {5, 7, 4, 4, 0}, {1, 1, 2, 2, 1}});
  s.Render("<IMG src=\"RES://Anim\">");
  MarkupPicture* pic = s.cache.Find("RES://Anim");
  ASSERT_NE(pic, nullptr);
  EXPECT_EQ(pic->FrameCount(), 3);
  int changes = 0;
  pic->onFrameChange = [&] { ++changes; };
  pic->SetFrame(2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(pic->FrameLeft(), 5);
  EXPECT_EQ(pic->FrameTop(), 7);
  EXPECT_EQ(pic->FrameWidth(), 40);
  MarkupResult r = s.Render("<IMG src=\"RES://Anim\">");
  EXPECT_NE(s.Log().find("picture 6,7,46,37"), std::string::npos) << s.Log();
  EXPECT_EQ(r.lines[0].width, 40);
  EXPECT_EQ(r.lines[0].height, 30);
  // The decoder got the header and the second frame onward: the second frame is first.
  const std::string& bytes = s.loader.decoded.back();
  EXPECT_EQ(markup::CountGifFrames(bytes), 2);
  EXPECT_EQ(markup::SelectGifFrame(bytes, 1).left, 5);
}

TEST(MarkupImages, LinkedImagesAreHitWithoutSettingMouseLink) {
  Scene s;
  FakeImageList list(1, 16, 16);
  s.params.images = &list;
  s.params.hitTestOnly = true;
  s.params.mouseX = 8;
  s.params.mouseY = 8;
  MarkupResult r = s.Render("<A href=\"img\"><IMG src=\"IDX:0\" alt=\"IDX:0\"></A>");
  EXPECT_TRUE(r.overLink);
  EXPECT_EQ(r.anchorUnderMouse, "img");
  EXPECT_EQ(r.mouseLink, -1);
  s.params.mouseX = 18;
  r = s.Render("<A href=\"img\"><IMG src=\"IDX:0\"></A>");
  EXPECT_FALSE(r.overLink);
}

TEST(MarkupImages, HoveredLinkedImageShowsItsAlternativeSource) {
  Scene s;
  FakeImageList list(2, 16, 16);
  s.params.images = &list;
  const char* text = "<A href=\"x\"><IMG src=\"IDX:0\" alt=\"IDX:1\"></A><IMG src=\"IDX:0\">";
  s.Render(text);
  EXPECT_NE(s.Log().find("listimage 0 1,0,17,16"), std::string::npos) << s.Log();
  s.params.mouseX = 8;
  s.params.mouseY = 8;
  s.Render(text);
  EXPECT_NE(s.Log().find("listimage 1 1,0,17,16"), std::string::npos) << s.Log();
  EXPECT_NE(s.Log().find("listimage 0 17,0,33,16"), std::string::npos) << s.Log();
}

TEST(MarkupImages, AnImageThatDoesNotFitStartsTheNextLine) {
  Scene s;
  FakeImageList list(1, 16, 16);
  s.params.images = &list;
  s.params.bounds.right = 40;  // 39 px: "abc" (30) + 16 does not fit
  MarkupResult r = s.Render("abc<IMG src=\"IDX:0\">d");
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_NE(s.Log().find("listimage 0 1,20,17,36"), std::string::npos) << s.Log();
  EXPECT_EQ(s.Log().find("listimage", s.Log().find("listimage") + 1), std::string::npos);
}

// The drawing pass replays exactly what the measuring pass put on a line: an indent or an
// alignment narrows the drawing rectangle, but must not push a measured image off the line.
TEST(MarkupImages, EveryMeasuredImageIsDrawnWhereItWasMeasured) {
  Scene s;
  FakeImageList list(1, 40, 40);
  s.params.images = &list;
  s.params.bounds = {0, 0, 100, 1000};  // 99 px: two 40 px images fit on one line
  MarkupResult r = s.Render("<P indent=\"30\"><IMG src=\"IDX:0\"><IMG src=\"IDX:0\">x");
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0].width, 90);
  EXPECT_NE(s.Log().find("listimage 0 31,0,71,40"), std::string::npos) << s.Log();
  EXPECT_NE(s.Log().find("listimage 0 71,0,111,40"), std::string::npos) << s.Log();
  ASSERT_EQ(s.canvas.texts.size(), 1u);
  EXPECT_EQ(s.canvas.texts[0].rect.left, 111);
}

TEST(MarkupImages, AlignmentRaisesTheBaselineAndWrapKeepsTheLineLow) {
  Scene s;
  FakeImageList list(1, 40, 40);
  s.params.images = &list;
  MarkupResult r = s.Render("a<IMG src=\"IDX:0\" align=\"middle\">b");
  EXPECT_EQ(r.lines[0].height, 40);
  EXPECT_EQ(s.canvas.texts[0].rect.bottom, 30);
  r = s.Render("a<IMG src=\"IDX:0\" align=\"top\">b");
  EXPECT_EQ(s.canvas.texts[0].rect.bottom, 20);
  r = s.Render("a<IMG src=\"IDX:0\" align=\"wrap\">b<BR>c");
  EXPECT_EQ(r.lines[0].height, 20);
  EXPECT_EQ(r.lines[1].top, 20);
}

TEST(MarkupImages, BodyBackgroundPictureIsTiledInsideTheBounds) {
  Scene s;
  s.loader.resources["Tile"] = "IMG:30x40";
  s.params.bounds = {0, 0, 50, 60};
  s.Render("<BODY background=\"RES://Tile\" bgtopright=\"RES://Tile\">x");
  std::string log = s.Log();
  EXPECT_NE(log.find("clip 0,0,50,60\npicture 0,0,30,40"), std::string::npos) << log;
  EXPECT_NE(log.find("picture 30,40,60,80 793x1058\nunclip"), std::string::npos) << log;
  EXPECT_NE(log.find("picture 20,0,50,40"), std::string::npos);
  EXPECT_EQ(s.canvas.clipDepth, 0);
}

TEST(GifFrames, CountingNeedsAnImageDescriptorRightAfterTheExtension) {
  std::string gif = test::MakeGif(8, 8, {{0, 0, 1, 1, 1}, {2, 3, 1, 1, 0}});
  EXPECT_TRUE(markup::IsGif(gif));
  EXPECT_EQ(markup::CountGifFrames(gif), 2);
  EXPECT_EQ(markup::CountGifFrames("PNG not a gif"), 0);
  EXPECT_EQ(markup::CountGifFrames("GIF8"), 0);
  // Cut right after the second extension's descriptor byte: position i + 9 is outside.
  std::size_t second = gif.rfind(std::string("\x21\xF9\x04", 3));
  EXPECT_EQ(markup::CountGifFrames(gif.substr(0, second + 9)), 1);
  EXPECT_EQ(markup::CountGifFrames(gif.substr(0, second + 10)), 2);

  markup::GifFrame f = markup::SelectGifFrame(gif, 2);
  EXPECT_EQ(f.left, 2);
  EXPECT_EQ(f.top, 3);
  EXPECT_EQ(f.screenWidth, 8);
  EXPECT_EQ(f.bytes.size(), gif.size() - (second - gif.find(std::string("\x21\xF9\x04", 3))));
  EXPECT_EQ(markup::SelectGifFrame(gif, 3).bytes, gif);
  EXPECT_EQ(markup::SelectGifFrame(gif, 0).bytes, gif);
  EXPECT_EQ(markup::SelectGifFrame("GIF89a", 1).screenWidth, 0);
}

TEST(MarkupPictures, SizesComeFromTheDecodedPicture) {
  FakePictureLoader loader;
  MarkupPicture pic(&loader);
  EXPECT_TRUE(pic.Empty());
  EXPECT_EQ(pic.Width(), 0);
  EXPECT_EQ(pic.FrameCount(), 0);
  pic.LoadFromBytes("IMG:33x17");
  EXPECT_FALSE(pic.Empty());
  EXPECT_EQ(pic.Width(), 33);
  EXPECT_EQ(pic.Height(), 17);
  EXPECT_EQ(pic.FrameWidth(), 33);
  EXPECT_THROW(pic.LoadFromBytes("junk"), PictureError);
  EXPECT_TRUE(pic.Empty());

  MarkupPicture async(&loader);
  async.LoadFromSource("ftp://host/x.gif");
  EXPECT_EQ(async.Id(), "");
  EXPECT_EQ(async.DownloadAddress(), "ftp://host/x.gif");
  EXPECT_TRUE(async.Empty());
}

}  // namespace
}  // namespace vt9
