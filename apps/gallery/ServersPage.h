#pragma once

#include <QWidget>

class QLabel;

namespace vq {

class MultiServerPickList;
class VQDigSetSearch;

// The server choice and the digital state set search over the known servers: a pick list whose
// choice is named beside it, and the set search on the default server.
class ServersPage : public QWidget {
    Q_OBJECT

public:
    explicit ServersPage(QWidget* parent = nullptr);

    MultiServerPickList* pickList() const { return m_pickList; }
    QWidget* pickListRow() const { return m_pickListRow; }
    VQDigSetSearch* digSetSearch() const { return m_digSetSearch; }

private:
    MultiServerPickList* m_pickList;
    QWidget* m_pickListRow;
    QLabel* m_chosen;
    VQDigSetSearch* m_digSetSearch;
};

}  // namespace vq
