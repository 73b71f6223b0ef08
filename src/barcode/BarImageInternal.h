// Helpers that the files of TBarImage share; not part of the component's interface.
#pragma once

#include <QCoreApplication>
#include <QGuiApplication>

namespace barcode::detail {

// Qt's fonts and clipboard exist only inside a QGuiApplication.
inline bool HaveGuiApp() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

}  // namespace barcode::detail
