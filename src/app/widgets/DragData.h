// What a drag carries into the window: a block from a side pane (a private format naming the pane),
// or a document file from a file manager.
#pragma once

#include <QString>
#include <optional>

#include "data/DocumentCommands.h"

class QMimeData;

// The private format of a block dragged from a side pane.
QMimeData* PaneDragData(MPane pane);
// The pane a drag comes from; none for any other drag.
std::optional<MPane> DraggedPane(const QMimeData* data);
// The document a drag from outside brings: one local .map file (any case) that exists; empty otherwise.
QString DraggedMapFile(const QMimeData* data);
