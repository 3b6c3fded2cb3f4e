// markup-bench: how long the markup renderer takes per call on the deterministic canvas (no
// drawing recorded), for the reminder text (measure + draw, as a panel paint does) and for
// markup texts of about 1 KB, 10 KB and 100 KB. The 100 KB / 10 KB ratio shows whether the
// cost grows linearly with the text length (10 for linear).
#include <chrono>
#include <cstdio>
#include <string>

#include "markup/render.h"
#include "support/fake_canvas.h"
#include "vt9_texts.h"

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per call of `body`, repeated for at least a quarter of a second.
template <typename Body>
double MicrosecondsPerCall(Body body) {
  body();  // warm up
  long calls = 0;
  const auto start = Clock::now();
  auto elapsed = Clock::duration::zero();
  do {
    for (int i = 0; i < 8; ++i) body();
    calls += 8;
    elapsed = Clock::now() - start;
  } while (elapsed < std::chrono::milliseconds(250));
  return std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(calls);
}

std::string LongText(std::size_t bytes) {
  std::string text;
  int n = 0;
  while (text.size() < bytes) {
    ++n;
    text += "Line " + std::to_string(n) +
            " has <B>bold words</B>, a <A href=\"http://example.com/" + std::to_string(n) +
            "\">link number " + std::to_string(n) +
            "</A> and <FONT color=\"#800000\" size=\"10\">coloured text</FONT> that wraps.<BR>";
  }
  return text;
}

}  // namespace

int main() {
  vt9::test::FakeCanvas canvas;
  canvas.record = false;
  vt9::MarkupParams draw;
  draw.bounds = {0, 0, 440, 60};
  vt9::MarkupParams measure = draw;
  measure.measureOnly = true;

  const double reminder = MicrosecondsPerCall([&] {
    vt9::RenderMarkup(canvas, STR_REMINDER_ONE_DAY, measure);
    vt9::RenderMarkup(canvas, STR_REMINDER_ONE_DAY, draw);
  });
  std::printf("reminder text, measure + draw: %.2f us per paint (target < 20)\n", reminder);

  vt9::MarkupParams big;
  big.bounds = {0, 0, 400, 100000000};
  double perCall[3] = {};
  const std::size_t sizes[3] = {1024, 10 * 1024, 100 * 1024};
  for (int i = 0; i < 3; ++i) {
    const std::string text = LongText(sizes[i]);
    perCall[i] = MicrosecondsPerCall([&] { vt9::RenderMarkup(canvas, text, big); });
    std::printf("%3zu KB text (%zu bytes), draw: %.1f us per call\n", sizes[i] / 1024, text.size(),
                perCall[i]);
  }
  std::printf("ratio 100 KB / 10 KB: %.2f (target <= 12)\n", perCall[2] / perCall[1]);
  return 0;
}
