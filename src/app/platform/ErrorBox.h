// The standard message boxes of the editor: the error box that ends a failed command and the plain
// message box (the layout loader's messages). Tests replace the boxes by a hook that records them.
#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

// An error that ended a command: its (Shift-JIS) message in the standard error box.
void ShowErrorBox(QWidget* parent, const std::exception& error);
// A message with an OK button only.
void ShowMessage(QWidget* parent, const QString& text);

// While set, the boxes are not shown: the hook gets the text (and whether it is an error) instead.
using MMessageHook = std::function<void(const QString& text, bool error)>;
void SetMessageHook(MMessageHook hook);
