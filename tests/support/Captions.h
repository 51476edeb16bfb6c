#pragma once
// Captions as the user reads them: without the access key marker and the
// "..." of commands that open a dialog.

#include <QString>

#include "ui/Desktop.h"

namespace orbik::test {

inline QString Caption(const QString& text) {
    QString caption = ui::WithoutAccessKey(text);
    if (caption.endsWith("...")) caption.chop(3);
    return caption;
}

}  // namespace orbik::test
