// The icons of the window's actions. A standard command takes its icon from the desktop's icon theme,
// so the editor looks at home next to the other programs; the editor's own commands, and every command
// on a desktop without a theme, use our own drawings (SVG, bundled as a Qt resource).
#pragma once

#include <QIcon>
#include <QString>

enum class MIcon {
  Open,
  Save,
  Copy,
  Paste,
  Undo,
  Redo,
  MappingMode,
  TextMode,
  UnmapPane,
  ZoomIn,
  ZoomOut,
  ViewReal,
  ViewAll,
  ViewPageWidth,
  Print,
  PrintPreview,
  Thumbnails,
  ListView,
  New,
  Help,
  App,
};
inline constexpr int kMIconCount = static_cast<int>(MIcon::App) + 1;

// The theme's icon where the theme has one, otherwise our own drawing. Never null.
QIcon IconFor(MIcon icon);

// The freedesktop icon name asked of the theme; empty for the icons only we draw.
QString IconThemeName(MIcon icon);

// Our own drawing of the icon, a resource path (":/icons/….svg").
QString IconResourcePath(MIcon icon);
