// Painting of our own task dialog window's surface: the grey button band with its top line,
// the content, the expand control's label and the footer with its divider. Controls (buttons,
// radio buttons, the verification box, the instruction) paint themselves; the icons are the
// platform's and drawn by the window.
#pragma once

#include <string>
#include <vector>

#include "dialogs/task_dialog_layout.h"
#include "dialogs/task_dialog_model.h"
#include "platform/canvas.h"

namespace vt9 {

// Draws on a white client area of layout.clientWidth x layout.clientHeight. A window that draws
// the plain content's lines (layout.contentLines) with the platform's own text output passes
// plainContent false.
void PaintTaskDialog(Canvas& canvas, const TaskDialogLayout& layout, const TaskDialogModel& model,
                     bool plainContent = true);

// Plain lines one below the other from r's top, in the canvas font, as far as r reaches.
void DrawPlainLines(Canvas& canvas, const std::vector<std::string>& lines, const Rect& r);

// The target of the link at a client point: the footer first, then the content (only with
// doHyperlinks, so a plain text never opens a link the user did not see as one). Empty: none.
std::string TaskDialogLinkAt(Canvas& canvas, const TaskDialogLayout& layout,
                             const TaskDialogModel& model, int x, int y);

// Whether our window opens the link itself: targets holding "://" or "mailto:".
bool TaskDialogOpensLink(const std::string& target);

}  // namespace vt9
