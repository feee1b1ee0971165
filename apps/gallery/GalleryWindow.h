#pragma once

#include <QWidget>

class QGridLayout;
class QLabel;

namespace vq {

// Every standalone attribute editor with sample values, one labelled row each, and a line that
// names the last event an editor raised, so the editors can be tried by hand.
class GalleryWindow : public QWidget {
    Q_OBJECT

public:
    explicit GalleryWindow(QWidget* parent = nullptr);

private:
    void addRow(const QString& caption, QWidget* editor);
    void addTextEditors();
    void addListEditors();
    void addSecurityAndTimeEditors();
    // Shows `event` of `editor` in the event line whenever `signal` fires.
    template <typename Editor, typename Signal>
    void showEvents(Editor* editor, Signal signal, const QString& event);

    QGridLayout* m_grid;
    QLabel* m_lastEvent;
};

}  // namespace vq
