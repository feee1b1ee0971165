#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace vq {

// The point table's progress row while it loads or saves: what it does, a bar, "412 of 1,000",
// and Stop. Stop only records the wish; the work asks stopRequested() between its steps.
class PointTableProgress : public QWidget {
    Q_OBJECT
public:
    explicit PointTableProgress(QWidget* parent = nullptr);

    // Shows the row for `total` steps of the work named `what`.
    void start(const QString& what, int total);
    void step(int done, int total);
    // Hides the row.
    void finish();
    bool stopRequested() const { return m_stop; }
    // "412 of 1,000", with the digits grouped.
    static QString countText(int done, int total);
    QString text() const;

private:
    QLabel* m_what;
    QProgressBar* m_bar;
    QLabel* m_count;
    QPushButton* m_stopButton;
    bool m_stop = false;
};

}  // namespace vq
