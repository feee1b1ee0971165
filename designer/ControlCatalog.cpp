#include "ControlCatalog.h"

#include "editors/VQCompressionSpecs.h"
#include "editors/VQPointAttributeEdit.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/MultiServerPickList.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace vq {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr int kIconSize = 32;
// Wide enough for a tag or a few server names; the heights are the controls' own.
constexpr int kFieldWidth = 2400;
constexpr int kFieldHeight = 315;
// The searches at no less than their layouts ask for, so that a form shows every field.
constexpr QSize kTagSearchSize{10200, 8700};
constexpr QSize kDigSetSearchSize{8100, 6600};

// The icons are small drawings of each control, made when Designer asks, so that they follow the
// palette and need no image files.
template <typename Draw>
QIcon drawnIcon(Draw draw) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

void drawField(QPainter& painter, const QRect& field) {
    painter.setBrush(Qt::white);
    painter.drawRect(field);
}

QIcon sheetIcon() {
    return drawnIcon([](QPainter& painter) {
        drawField(painter, QRect(2, 3, 27, 25));
        painter.fillRect(QRect(3, 4, 26, 5), QColor(0xd4, 0xd0, 0xc8));
        for (int y = 9; y < 28; y += 5) painter.drawLine(2, y, 29, y);
        painter.drawLine(13, 3, 13, 28);
    });
}

QIcon attributeEditIcon() {
    return drawnIcon([](QPainter& painter) {
        drawField(painter, QRect(2, 10, 27, 11));
        painter.fillRect(QRect(5, 13, 14, 5), QColor(0x30, 0x60, 0xc0));
        painter.drawLine(21, 12, 21, 19);
    });
}

QIcon compressionIcon() {
    return drawnIcon([](QPainter& painter) {
        painter.drawRect(QRect(2, 3, 27, 25));
        for (int y : {7, 14, 21}) {
            painter.fillRect(QRect(5, y + 1, 8, 3), QColor(0x60, 0x60, 0x60));
            drawField(painter, QRect(15, y, 12, 5));
        }
    });
}

QIcon pickListIcon() {
    return drawnIcon([](QPainter& painter) {
        drawField(painter, QRect(2, 10, 27, 11));
        painter.setBrush(QColor(0xd4, 0xd0, 0xc8));
        painter.drawRect(QRect(21, 11, 7, 9));
        for (int x : {23, 25, 27}) painter.drawPoint(x, 17);
        painter.fillRect(QRect(5, 14, 13, 3), QColor(0x30, 0x30, 0x30));
    });
}

QIcon tagSearchIcon() {
    return drawnIcon([](QPainter& painter) {
        drawField(painter, QRect(2, 3, 27, 7));
        drawField(painter, QRect(2, 13, 27, 15));
        for (int y : {17, 21, 25}) painter.drawLine(5, y, 26, y);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRect(20, 4, 5, 5));
    });
}

QIcon digSetSearchIcon() {
    return drawnIcon([](QPainter& painter) {
        drawField(painter, QRect(2, 3, 12, 25));
        drawField(painter, QRect(17, 3, 12, 25));
        for (int y : {8, 13, 18}) {
            painter.drawLine(5, y, 11, y);
            painter.fillRect(QRect(20, y - 1, 6, 3), QColor(0x30, 0x60, 0xc0));
        }
    });
}

template <typename Control>
QWidget* create(QWidget* parent) {
    return new Control(parent);
}

}  // namespace

std::span<const ControlDescription> controlCatalog() {
    static const ControlDescription catalog[] = {
        {u"vq::VQPointPropSheet"_s, u"propsheet/VQPointPropSheet.h"_s, u"pointPropSheet"_s,
         u"Point property sheet"_s,
         u"Shows and edits every attribute of a point, sorted by name or grouped by category. "
         "Bind it to a PropSheetEntries collection with SetPropSheetEntries."_s,
         VQPointPropSheet::kDefaultSize, &create<VQPointPropSheet>, &sheetIcon},
        {u"vq::VQPointAttributeEdit"_s, u"editors/VQPointAttributeEdit.h"_s, u"pointAttributeEdit"_s,
         u"Point attribute editor"_s,
         u"Edits one attribute of a point, named by AttributeName, with the editor its display style "
         "asks for. Bind it to a PropSheetEntries collection with SetPropSheetEntries."_s,
         QSize(
             VQPointAttributeEdit::kDefaultWidth,
             VQPointAttributeEdit::layoutFor(VQPointAttributeEdit::kDefaultWidth, FixedBorder).controlHeight),
         &create<VQPointAttributeEdit>, &attributeEditIcon},
        {u"vq::VQCompressionSpecs"_s, u"editors/VQCompressionSpecs.h"_s, u"compressionSpecs"_s,
         u"Compression or exception settings"_s,
         u"Edits a point's compression (or, with DisplayStyle 2, exception) deviation and times. "
         "Bind it to a PropSheetEntries collection with SetPropSheetEntries."_s,
         QSize(VQCompressionSpecs::kWidth, VQCompressionSpecs::kHeight), &create<VQCompressionSpecs>,
         &compressionIcon},
        {u"vq::MultiServerPickList"_s, u"servers/MultiServerPickList.h"_s, u"serverPickList"_s,
         u"Server pick list"_s,
         u"Shows the servers chosen for an operation and lets the user choose others; read the choice "
         "with SelectedServers. It lists the servers of the installed server library."_s,
         QSize(kFieldWidth, kFieldHeight), &create<MultiServerPickList>, &pickListIcon},
        {u"vq::VQTagSearch"_s, u"search/VQTagSearch.h"_s, u"tagSearch"_s, u"Point search"_s,
         u"Finds points on one or more servers by tag, descriptor, class and other masks, or by a where "
         "clause, and lists the results; the chosen points come with OnPointListSelection."_s,
         kTagSearchSize, &create<VQTagSearch>, &tagSearchIcon},
        {u"vq::VQDigSetSearch"_s, u"search/VQDigSetSearch.h"_s, u"digSetSearch"_s,
         u"Digital state set search"_s,
         u"Finds a server's digital state sets by state-name masks and shows the states of the set in "
         "view; the chosen sets come with OnDigsetListSelection."_s,
         kDigSetSearchSize, &create<VQDigSetSearch>, &digSetSearchIcon},
    };
    return catalog;
}

QSize defaultPixelSize(const ControlDescription& control) {
    return twipsToPixels(control.defaultTwips);
}

}  // namespace vq
