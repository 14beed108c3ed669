#pragma once

#include "window/form1.h"

#include <QLineEdit>
#include <QStringList>

namespace testing {

// The texts of boxes Text<first> to Text<last>, in order.
inline QStringList boxTexts(const window::Form1 &form, int first = 1, int last = 15)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << form.textBox(n)->text();
    return texts;
}

} // namespace testing
