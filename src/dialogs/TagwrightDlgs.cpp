#include "dialogs/TagwrightDlgs.h"

#include "core/Error.h"
#include "dialogs/DialogServices.h"
#include "dialogs/VQDigSetSearchForm.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "dialogs/VQTagSearchForm.h"
#include "platform/AttributeSearchDialogs.h"
#include "platform/FormRegistry.h"
#include "platform/PointPropertyDialogs.h"
#include "platform/ServicesContext.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"

#include <array>

namespace vq {

namespace {

// The point search control's criteria after a dialog, for the next one.
struct SavedSearch {
    QString DescriptorMask, TagMask, PointSourceMask, EngineeringUnitsMask, ValueMask;
    int PointTypeMask = 0;
    QString PointClassMask;
    SdkPointListPtr PointList;
    int TagSearchView = 0;
    QString AdvancedWhereClause;
    int SQLTableComboIndex = 0, SQLColumnComboIndex = 0, SQLConditionComboIndex = 0;
    QString AdvancedSQLValue;
    SdkNamedValuesPtr SelectedServers;
};

const QString tagFormName = QString::fromLatin1(VQTagSearchForm::kName);
const QString digsetFormName = QString::fromLatin1(VQDigSetSearchForm::kName);

VQTagSearch& tagSearchControl() {
    return *FormRegistry::current().load<VQTagSearchForm>(tagFormName)->control();
}

// The list position of the point-type mask a type word stands for; 0 when it names none.
int pointTypePosition(const QString& word) {
    struct Words {
        std::array<const char*, 4> words;
        int position;
    };
    static constexpr std::array<Words, 4> table{{{{"Int", "Int16", "Int32", nullptr}, 2},
                                                 {{"Float", "Float16", "Float32", "Float64"}, 1},
                                                 {{"Digital", nullptr, nullptr, nullptr}, 3},
                                                 {{"String", "Blob", nullptr, nullptr}, 4}}};
    for (const Words& row : table)
        for (const char* candidate : row.words)
            if (candidate && word.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
                return row.position;
    return 0;
}

void applyMask(VQTagSearch& control, const QString& name, const Variant& value) {
    const auto is = [&name](const char* text) {
        return name.compare(QLatin1String(text), Qt::CaseInsensitive) == 0;
    };
    const QString text = value.toString();
    if (is("Tag"))
        control.SetTagMask(text);
    else if (is("Descriptor"))
        control.SetDescriptorMask(text);
    else if (is("PointSource"))
        control.SetPointSourceMask(text);
    else if (is("EngUnits"))
        control.SetEngineeringUnitsMask(text);
    else if (is("Value"))
        control.SetValueMask(text);
    else if (is("PointType")) {
        if (const int position = pointTypePosition(text)) control.SetPointTypeMask(position);
    }
}

void addServerName(SdkNamedValues& servers, const QString& name) {
    if (!servers.Contains(name)) servers.Add(name, Variant(int16_t(0)));
}

bool knows(const SdkServers& known, const QString& name) {
    return silently(false, [&] { return known.Item(name) != nullptr; });
}

}  // namespace

class TagwrightDlgsState {
public:
    bool m_OwnsForms = true;
    bool m_SearchShown = false;
    SdkNamedValuesPtr m_nvMasks;
    SavedSearch saved;

    void ApplyMasks(const SdkNamedValuesPtr& masks);
    SdkNamedValuesPtr chooseServers(const SdkServerPtr& selected, const SdkNamedValuesPtr& passed) const;
    void SaveSearchState(const VQTagSearch& control);
    void RestoreSearchState(VQTagSearch& control) const;
};

TagwrightDlgs::TagwrightDlgs() : d(std::make_unique<TagwrightDlgsState>()) {
    d->m_OwnsForms = FormRegistry::current().find(tagFormName) == nullptr;
    if (d->m_OwnsForms) FormRegistry::current().load<VQDigSetSearchForm>(digsetFormName);
}

TagwrightDlgs::~TagwrightDlgs() {
    if (!d->m_OwnsForms) return;
    FormRegistry::current().unload(tagFormName);
    FormRegistry::current().unload(digsetFormName);
}

bool TagwrightDlgs::OwnsForms() const {
    return d->m_OwnsForms;
}

void TagwrightDlgs::InitTagSearch(const SdkNamedValuesPtr& nvMasks, const SdkNamedValuesPtr&) {
    d->m_nvMasks = nvMasks;
    if (!d->m_OwnsForms) return;
    if (!d->m_nvMasks) d->m_nvMasks = SdkNamedValues::create();
    d->ApplyMasks(d->m_nvMasks);
}

void TagwrightDlgsState::ApplyMasks(const SdkNamedValuesPtr& masks) {
    VQTagSearch& control = tagSearchControl();
    control.Reset();
    if (!masks) return;
    for (const SdkNamedValue& mask : *masks) applyMask(control, mask.Name(), mask.Value());
}

SdkPointListPtr TagwrightDlgs::ShowTagSearchDialog(const SdkServerPtr& SelectedServer, int32_t Options,
                                                   const SdkNamedValuesPtr& nvPassed,
                                                   const SdkNamedValuesPtr&) {
    return reraising(QStringLiteral("TagwrightDlgs:ShowTagSearchDialog"), [&] {
        auto* form = FormRegistry::current().load<VQTagSearchForm>(tagFormName);
        VQTagSearch& control = *form->control();
        const SdkNamedValuesPtr servers = d->chooseServers(SelectedServer, nvPassed);
        if (servers->Count() > 0) control.SetSelectedServers(servers);
        if (d->m_SearchShown) d->RestoreSearchState(control);
        control.SetVQServerPickListEnabled(!(Options & tsoptDisableVQSrvPickList));
        control.SetSearchResultsMultiselect(!(Options & tsoptAllowOnlyOneTagToBeSelected));
        control.RemoveDisallowedSearchResults();
        control.ClearSelectedTags();
        form->exec();
        SdkPointListPtr result = control.PointListSelection();
        d->m_SearchShown = true;
        d->SaveSearchState(control);
        FormRegistry::current().unload(tagFormName);
        return result;
    });
}

// The given server, else the passed names, else the previous dialog's, else the connected ones,
// else the default. A passed name the server list does not know fails the call; a saved one
// that was removed since is left out, so that one removed server does not end every later search.
SdkNamedValuesPtr TagwrightDlgsState::chooseServers(const SdkServerPtr& selected,
                                                    const SdkNamedValuesPtr& passed) const {
    auto servers = SdkNamedValues::create();
    const SdkServersPtr known = SdkApplication::instance()->Servers();
    if (selected) {
        addServerName(*servers, selected->Name());
    } else if (passed) {
        for (const SdkNamedValue& item : *passed) addServerName(*servers, known->Item(item.Name())->Name());
    } else if (m_SearchShown) {
        if (saved.SelectedServers)
            for (const SdkNamedValue& item : *saved.SelectedServers)
                if (knows(*known, item.Name())) addServerName(*servers, item.Name());
    } else {
        for (const SdkServerPtr& server : known->All())
            if (server->IsConnected()) addServerName(*servers, server->Name());
        if (servers->Count() == 0)
            if (const SdkServerPtr fallback = known->DefaultServer())
                addServerName(*servers, fallback->Name());
    }
    return servers;
}

void TagwrightDlgsState::SaveSearchState(const VQTagSearch& control) {
    saved.DescriptorMask = control.DescriptorMask();
    saved.TagMask = control.TagMask();
    saved.PointSourceMask = control.PointSourceMask();
    saved.EngineeringUnitsMask = control.EngineeringUnitsMask();
    saved.ValueMask = control.ValueMask();
    saved.PointTypeMask = control.PointTypeMask();
    saved.PointClassMask = control.PointClassMask();
    saved.PointList = control.PointList();
    saved.TagSearchView = control.TagSearchView();
    saved.AdvancedWhereClause = control.AdvancedWhereClause();
    saved.SQLTableComboIndex = control.SQLTableComboIndex();
    saved.SQLColumnComboIndex = control.SQLColumnComboIndex();
    saved.SQLConditionComboIndex = control.SQLConditionComboIndex();
    saved.AdvancedSQLValue = control.AdvancedSQLValue();
    saved.SelectedServers = control.SelectedServers();
}

void TagwrightDlgsState::RestoreSearchState(VQTagSearch& control) const {
    control.SetDescriptorMask(saved.DescriptorMask);
    control.SetTagMask(saved.TagMask);
    control.SetPointSourceMask(saved.PointSourceMask);
    control.SetEngineeringUnitsMask(saved.EngineeringUnitsMask);
    control.SetValueMask(saved.ValueMask);
    control.SetPointTypeMask(saved.PointTypeMask);
    control.SetPointClassMask(saved.PointClassMask);
    control.SetPointList(saved.PointList);
    control.SetTagSearchView(saved.TagSearchView);
    control.SetAdvancedWhereClause(saved.AdvancedWhereClause);
    control.SetSQLTableComboIndex(saved.SQLTableComboIndex);
    control.SetSQLColumnComboIndex(saved.SQLColumnComboIndex);
    control.SetSQLConditionComboIndex(saved.SQLConditionComboIndex);
    control.SetAdvancedSQLValue(saved.AdvancedSQLValue);
}

SdkNamedValuesPtr TagwrightDlgs::ShowDigsetSearchDialog(const SdkServerPtr& SelectedServer,
                                                        bool SearchOnlyOnSelectedServer,
                                                        bool SearchResultsMultiselect) {
    auto* form = FormRegistry::current().load<VQDigSetSearchForm>(digsetFormName);
    VQDigSetSearch& control = *form->control();
    if (SelectedServer) {
        control.SetCurrentServer(SelectedServer);
        control.SetFixOnCurrentServer(SearchOnlyOnSelectedServer);
    }
    control.SetMultiSelect(SearchResultsMultiselect);
    control.Reset();
    form->exec();
    return control.DigsetSelection();
}

SdkNamedValuesPtr TagwrightDlgs::ShowDigsetSearchDialogShowing(const SdkServerPtr& SelectedServer,
                                                               const QString& currentSet) {
    auto* form = FormRegistry::current().load<VQDigSetSearchForm>(digsetFormName);
    VQDigSetSearch& control = *form->control();
    control.SetCurrentServer(SelectedServer);
    control.SetFixOnCurrentServer(true);
    control.SetMultiSelect(true);
    control.Reset();
    control.ShowDigset(currentSet);
    form->exec();
    return control.DigsetSelection();
}

void TagwrightDlgs::ShowVQPointPropertySheet(const SdkPointListPtr& list) {
    VQPointPropertySheetForm form;
    form.SetPointList(list);
    form.exec();
}

// ---- the dialogs as the editors and the point search reach them ----

namespace {

// Each dialog through a fresh TagwrightDlgs: one opened from inside a point search then leaves
// the search's forms to the object that loaded them.
class NewTagwrightDlgs final : public AttributeSearchDialogs, public PointPropertyDialogs {
public:
    SdkPointListPtr ShowTagSearchDialog(const SdkServerPtr& selectedServer, int32_t options) override {
        return TagwrightDlgs().ShowTagSearchDialog(selectedServer, options);
    }
    SdkNamedValuesPtr ShowDigsetSearchDialog(const SdkServerPtr& selectedServer,
                                             bool searchOnlyOnSelectedServer,
                                             bool searchResultsMultiselect) override {
        return TagwrightDlgs().ShowDigsetSearchDialog(selectedServer, searchOnlyOnSelectedServer,
                                                      searchResultsMultiselect);
    }
    SdkNamedValuesPtr ShowDigsetSearchDialogShowing(const SdkServerPtr& selectedServer,
                                                    const QString& currentSet) override {
        return TagwrightDlgs().ShowDigsetSearchDialogShowing(selectedServer, currentSet);
    }
    void ShowVQPointPropertySheet(const SdkPointListPtr& points) override {
        TagwrightDlgs().ShowVQPointPropertySheet(points);
    }
};

}  // namespace

void useLibraryDialogs(ServicesContext& context) {
    static const auto dialogs = std::make_shared<NewTagwrightDlgs>();
    context.searchDialogs = dialogs;
    context.pointPropertyDialogs = dialogs;
}

void installDialogServices() {
    ServicesContext context = services();
    useLibraryDialogs(context);
    installServices(std::move(context));
}

}  // namespace vq
