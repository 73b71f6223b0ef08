#include "app/platform/Icons.h"

#include <array>

// Outside any namespace, as Q_INIT_RESOURCE wants. The resource lives in a static library, whose
// object files the linker keeps only when something refers to them: this reference keeps it.
static void InitIconResource() { Q_INIT_RESOURCE(Icons); }

namespace {

struct IconEntry {
  MIcon icon;
  const char* themeName;  // nullptr: no standard name fits
  const char* file;       // in src/app/platform/icons/
};

constexpr std::array<IconEntry, kMIconCount> kIcons = {{
    {MIcon::Open, "document-open", "open.svg"},
    {MIcon::Save, "document-save", "save.svg"},
    {MIcon::Copy, "edit-copy", "copy.svg"},
    {MIcon::Paste, "edit-paste", "paste.svg"},
    {MIcon::Undo, "edit-undo", "undo.svg"},
    {MIcon::Redo, "edit-redo", "redo.svg"},
    {MIcon::MappingMode, nullptr, "mapping-mode.svg"},
    {MIcon::TextMode, nullptr, "text-mode.svg"},
    {MIcon::UnmapPane, nullptr, "unmap-pane.svg"},
    {MIcon::ZoomIn, "zoom-in", "zoom-in.svg"},
    {MIcon::ZoomOut, "zoom-out", "zoom-out.svg"},
    {MIcon::ViewReal, "zoom-original", "view-real.svg"},
    {MIcon::ViewAll, "zoom-fit-best", "view-all.svg"},
    {MIcon::ViewPageWidth, nullptr, "view-page-width.svg"},
    {MIcon::Print, "document-print", "print.svg"},
    {MIcon::PrintPreview, "document-print-preview", "print-preview.svg"},
    {MIcon::Thumbnails, "view-list-icons", "thumbnails.svg"},
    {MIcon::ListView, "view-list-details", "list-view.svg"},
    {MIcon::New, "document-new", "new.svg"},
    {MIcon::Help, "help-contents", "help.svg"},
    {MIcon::App, nullptr, "tessora.svg"},
}};

constexpr bool InEnumOrder() {
  for (int i = 0; i < kMIconCount; ++i)
    if (static_cast<int>(kIcons[i].icon) != i) return false;
  return true;
}
static_assert(InEnumOrder(), "kIcons is indexed by MIcon");

const IconEntry& EntryFor(MIcon icon) { return kIcons[static_cast<std::size_t>(icon)]; }

}  // namespace

QString IconThemeName(MIcon icon) { return QString::fromLatin1(EntryFor(icon).themeName); }

QString IconResourcePath(MIcon icon) {
  return QStringLiteral(":/icons/") + QLatin1String(EntryFor(icon).file);
}

QIcon IconFor(MIcon icon) {
  [[maybe_unused]] static const bool resourceReady = (InitIconResource(), true);
  const QIcon own(IconResourcePath(icon));
  const QString themeName = IconThemeName(icon);
  return themeName.isEmpty() ? own : QIcon::fromTheme(themeName, own);
}
