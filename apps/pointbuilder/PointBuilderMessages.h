#pragma once

#include "platform/MessageBoxService.h"

#include <QStringList>

#include <memory>

class QMessageBox;
class QWidget;

namespace vq {

// How the Point Builder shows a problem: what went wrong first, in the words the layer that found
// it used, then what the user was doing, and the library's own text (its contexts and the number
// in decimal and hex) under "Show Details". Plain messages keep the library's box. A refused
// log-on reaches a report only when the user cancelled the log-on window, which asks until the
// log-on succeeds: the user chose not to log on, and nothing more is shown.
class PointBuilderMessages : public MessageBoxService {
public:
    void showError(const ErrorMessage& error) override;

    // The box showError runs, built but not shown.
    static std::unique_ptr<QMessageBox> createErrorBox(const ErrorMessage& error);
    // The library's text with the number in decimal and hex, as "Show Details" shows it.
    static QString detailsText(const ErrorMessage& error);
    // One question with a button per answer; the index of the answer, `escape` when the box was
    // closed. The first answer is the default; `details`, when given, show under "Show Details".
    static int choose(QWidget* parent, const QString& question, const QStringList& answers, int escape,
                      const QString& details = {});

    // What the user is doing while it lives ("saving Boiler.Temp on plant"), for the messages
    // that come meanwhile; the innermost one counts.
    class Doing {
    public:
        explicit Doing(const QString& activity);
        ~Doing();
        Doing(const Doing&) = delete;
        Doing& operator=(const Doing&) = delete;
        // The innermost activity; empty when none.
        static QString current();
    };
};

}  // namespace vq
