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
// The screen scales the toolbar pictures are drawn for; others are made from the nearest.
inline constexpr double kButtonScales[] = {1, 1.25, 1.5, 2, 2.5, 3, 4};
// 16 by 15 pixels times `scale`, transparent where the button shows through.
QImage toolbarImage(ToolbarPicture which, double scale);
// The picture drawn for each of kButtonScales, for the toolbar to pick from.
QIcon toolbarPicture(ToolbarPicture which);
QIcon programIcon();

} // namespace zenka
