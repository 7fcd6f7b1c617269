#include "linebreakvalidator.h"

#include "launcherconfig.h"

QValidator::State LineBreakValidator::validate(QString &input, int &pos) const
{
    if (ContainsLineBreak(input)) {
        // A CR LF pair becomes one blank: the cursor moves back by what was dropped before it.
        const QString before = LineBreaksToBlanks(QStringView(input).first(pos));
        input = before + LineBreaksToBlanks(QStringView(input).sliced(pos));
        pos = int(before.size());
    }
    return Acceptable;
}
