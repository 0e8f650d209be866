#pragma once

// The program's pictures, drawn here rather than shipped as files: the splash picture, the
// toolbar buttons and the icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace zenka {

enum class ToolbarPicture { NewSheet, OpenFolder, Diskette, Graph, Run, Question };

inline constexpr int kSplashWidth = 520;
inline constexpr int kSplashHeight = 317;
inline constexpr int kButtonWidth = 16;
inline constexpr int kButtonHeight = 15;

// 520 by 317 pixels in the 16 colours of the classic palette.
QImage splashPicture();
// 16 by 15 pixels, transparent where the button shows through.
QPixmap toolbarPicture(ToolbarPicture which);
QIcon programIcon();

} // namespace zenka
