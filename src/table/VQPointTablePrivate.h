#pragma once

#include "table/VQPointTable.h"

#include <QIODevice>
#include <QModelIndex>

#include <functional>

class QAction;
class QFile;
class QKeyEvent;
class QKeySequence;
class QLabel;
class QSplitter;
class QTimer;
class QToolBar;

namespace vq {

class PointTableDelegate;
class PointTableGrid;
class PointTableProgress;
class PointTableReviewPane;
class VQPointAttributeEdit;

// What the control holds and does behind its public face: VQPointTable.cpp sets it up and runs
// the commands, VQPointTableKeys.cpp the keys and the in-place editor.
class VQPointTablePrivate {
public:
    explicit VQPointTablePrivate(VQPointTable* table);

    void setUpActions();
    void setUpLayout();
    void setUpGrid();
    void setUpEditor();
    QAction* addAction(const QString& name, const QString& text, const QKeySequence& key,
                       const std::function<void()>& run);
    void updateActions();
    void setStatus(const QString& text);
    void fitColumns();
    void fitColumn(int column, int sampled);

    // Loading
    void startLoading();
    void loadSlice();

    // Editing
    bool gridKey(QKeyEvent* event);
    bool editorKey(QKeyEvent* event);
    bool openEditor(const QModelIndex& index, const QKeyEvent* typed = nullptr);
    void hideEditor();
    bool typeIntoPlainEditor(const QKeyEvent* typed);
    void cancelEditor();
    bool editNeighbour(bool next);
    QModelIndex neighbourEditable(const QModelIndex& from, bool next) const;
    void setIntoColumn();
    QModelIndexList selectedCells() const;
    void fillDown();
    void copyCells();
    void pasteCells();
    void openPoint(const QModelIndex& index);
    void showReview(bool shown);
    void goToChange(int row, const QString& attribute);
    bool openChosenFile(QFile& file, const QString& path, QIODevice::OpenMode mode);

    VQPointTable* const q;
    PointTableModel* m_model;
    PointTableGrid* m_grid;
    VQPointAttributeEdit* m_editor;
    PointTableDelegate* m_delegate;
    PointTableReviewPane* m_review;
    PointTableProgress* m_progress;
    QLabel* m_status;
    QToolBar* m_toolBar;
    QSplitter* m_splitter;
    QTimer* m_loadTimer;
    QAction* m_save = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_reviewAction = nullptr;
    bool m_saving = false;
    bool m_fitted = false;
    int m_loadTotal = 0;
};

}  // namespace vq
