#include "platform/AccessibleNames.h"

#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

namespace vq {

QString spokenCaption(const QString& caption) {
    QString spoken = caption;
    // "&&" is a literal ampersand; a single one only marks the mnemonic.
    spoken.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    spoken = spoken.trimmed();
    while (spoken.endsWith(u':')) spoken.chop(1);
    return spoken.trimmed();
}

void nameFieldsByCaptions(QWidget* root) {
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        QWidget* field = label->buddy();
        if (field && field->accessibleName().isEmpty())
            field->setAccessibleName(spokenCaption(label->text()));
    }
}

}  // namespace vq
