#pragma once

#include "sdk/SdkFwd.h"

#include <QMainWindow>

#include <functional>

class QLineEdit;

namespace vq {

class PointBuilderSettings;
class TagwrightDlgs;
class VQPointTable;

// The Points window: points found on one or more servers in one table, edited many at once,
// reviewed, saved with a result per point and undone. It remembers its columns and geometry in the
// Point Builder's settings; a row's point opens in the Point Builder's single-point view.
class PointTableWindow : public QMainWindow {
    Q_OBJECT
public:
    // `server` tells which server Find starts on and Add takes tags from.
    using ServerOfChoice = std::function<SdkServerPtr()>;

    PointTableWindow(PointBuilderSettings& settings, TagwrightDlgs& dialogs, ServerOfChoice server,
                     QWidget* parent = nullptr);
    ~PointTableWindow() override;

    VQPointTable* table() const { return m_table; }
    // Finds points, several at once, and adds them as rows; returns how many were added.
    int findPoints();
    // Adds the point with the tag typed (or `tag`) on the chosen server; an unknown tag is told.
    bool addTag(const QString& tag = QString());

Q_SIGNALS:
    // The user asked to open a row's point in the single-point view.
    void openPointRequested(vq::SdkPointPtr point);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void makeToolBar();
    void showCount();
    bool mayClose();

    PointBuilderSettings& m_settings;
    TagwrightDlgs& m_dialogs;
    ServerOfChoice m_server;
    VQPointTable* m_table;
    QLineEdit* m_txtTag;
};

}  // namespace vq
