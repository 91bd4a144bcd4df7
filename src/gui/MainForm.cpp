#include "gui/MainForm.h"

#include "commands/DataBaseCommands.h"
#include "core/DataBase.h"
#include "gui/AnalysisForm.h"
#include "gui/Anchors.h"
#include "gui/Bevel.h"
#include "gui/DataBaseDrop.h"
#include "gui/DatePicker.h"
#include "gui/ErrorReport.h"
#include "gui/FormSetup.h"
#include "gui/MinutesEdit.h"
#include "gui/Prompt.h"
#include "gui/RecentFilesMenu.h"
#include "gui/RecordListModel.h"
#include "gui/RecordListView.h"
#include "settings/WindowConfiguration.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

static void InitIconResources() {
    Q_INIT_RESOURCE(Icons);
}

namespace {

QIcon ToolIcon(const char* name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint) {
    InitIconResources();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Mavrolin"));
    QIcon programIcon;
    programIcon.addFile(QStringLiteral(":/icons/mavrolin16.svg"), QSize(16, 16));
    programIcon.addFile(QStringLiteral(":/icons/mavrolin32.svg"), QSize(32, 32));
    setWindowIcon(programIcon);
    setContextMenuPolicy(Qt::NoContextMenu); // no toolbar-toggle menu

    DataBase = std::make_unique<TDataBase>();
    // A failed load reports itself in an error box and never raises.
    DataBase->OnLoadError = [this](const std::string& message) {
        loadFailed_ = true;
        Prompt::Message(this, Prompt::Kind::Error, QString::fromStdString(message), Prompt::Ok);
    };

    createActions();
    createUndoActions();
    createMenus();
    createToolBar();
    createStopwatch();
    createListPanel();
    createSearch();
    createExchange();
    createDetailPanel();
    installEditingKeys();
    createFileDialogs();
    createSplitter();
    installSplitterHook();
    connectHandlers();
    new TDataBaseDropTarget(
        this, [this](Qt::KeyboardModifiers modifiers) { return FormDragOver(modifiers); },
        [this](const QString& file, Qt::KeyboardModifiers modifiers) {
            runGuarded([&] { FormDragDrop(file, modifiers); });
        });

    const int menuHeight = menuBar()->sizeHint().height();
    setMinimumSize(410 - 8, 370 - 46 + menuHeight); // outer 410 x 370 with the designed frame
    applyConfiguration(WindowConfiguration::FirstStart());
    CenterOnScreen();
    ListView->setFocus();
    ShowSelectedRecord();
}

TMainForm::~TMainForm() {
    // QWidget's destructor still moves the focus: no more reports once this
    // part of the window is gone.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(Commands, nullptr, this, nullptr);
    // The list refers to the database's entries: empty it before they go.
    if (ListModel)
        ListModel->Clear();
}

void TMainForm::connectHandlers() {
    using M = TMainForm;
    // Commands.
    connectGuarded(NewDataBaseAction, &QAction::triggered, &M::NewDataBaseActionExecute);
    connectGuarded(LoadDataBaseAction, &QAction::triggered, &M::LoadDataBaseActionExecute);
    connectGuarded(ImportDataBaseAction, &QAction::triggered, &M::ImportDataBaseActionExecute);
    connectGuarded(SaveDataBaseAction, &QAction::triggered, &M::SaveDataBaseActionExecute);
    connectGuarded(SaveDataBaseAsAction, &QAction::triggered, &M::SaveDataBaseAsActionExecute);
    connectGuarded(ExitAction, &QAction::triggered, &M::ExitActionExecute);
    connectGuarded(InfoAction, &QAction::triggered, &M::InfoActionExecute);
    connectGuarded(FirstItemAction, &QAction::triggered, &M::FirstItemActionExecute);
    connectGuarded(LastItemAction, &QAction::triggered, &M::LastItemActionExecute);
    connectGuarded(NextItemAction, &QAction::triggered, &M::NextItemActionExecute);
    connectGuarded(PreviousItemAction, &QAction::triggered, &M::PreviousItemActionExecute);
    connectGuarded(NewItemAction, &QAction::triggered, &M::NewItemActionExecute);
    connectGuarded(ChangeItemAction, &QAction::triggered, &M::ChangeItemActionExecute);
    connectGuarded(DeleteItemAction, &QAction::triggered, &M::DeleteItemActionExecute);
    connectGuarded(FilterAction, &QAction::triggered, &M::FilterActionExecute);
    connectGuarded(AnalysisAction, &QAction::triggered, &M::AnalysisActionExecute);
    connectGuarded(ConfigItem, &QAction::triggered, &M::ConfigItemClick);
    connectGuarded(SaveOptionItem, &QAction::triggered, &M::SaveOptionItemClick);
    connectGuarded(StopwatchAction, &QAction::triggered, &M::StopwatchActionExecute);
    connectGuarded(ResetStopwatchAction, &QAction::triggered, &M::ResetStopwatchActionExecute);
    connectGuarded(StopwatchButton, &QToolButton::clicked, &M::StopwatchButtonClick);
    connectGuarded(StopwatchTimer, &QTimer::timeout, &M::ShowStopwatch);
    connectGuarded(RecentFilesItem, &TRecentFilesMenu::FileChosen, &M::RecentFileItemClick);
    connectGuarded(ImportCsvAction, &QAction::triggered, &M::ImportCsvActionExecute);
    connectGuarded(ExportCsvAction, &QAction::triggered, &M::ExportCsvActionExecute);
    connectGuarded(ExportXlsxAction, &QAction::triggered, &M::ExportXlsxActionExecute);
    connectGuarded(SearchAction, &QAction::triggered, &M::SearchActionExecute);
    connectGuarded(SearchEdit, &QLineEdit::textChanged, &M::SearchEditChange);
    connectGuarded(SearchTimer, &QTimer::timeout, &M::SearchTimerTimer);
    connectGuarded(searchSliceTimer_, &QTimer::timeout, &M::searchSlice);
    // The recent files are shown as stored now, and usable when the load is.
    connect(DataBaseItem, &QMenu::aboutToShow, RecentFilesItem, &TRecentFilesMenu::Refresh);
    connect(LoadDataBaseAction, &QAction::enabledChanged, RecentFilesItem,
            &TRecentFilesMenu::SetCommandsEnabled);

    connectUndo();

    // The list and its column menu.
    connectGuarded(ListView->horizontalHeader(), &QHeaderView::sectionClicked,
                   &M::ListViewColumnClick);
    connectGuarded(ListView->selectionModel(), &QItemSelectionModel::selectionChanged,
                   &M::ListViewSelectItem);
    connectGuarded(ListView, &QWidget::customContextMenuRequested, &M::showListViewPopup);
    connectGuarded(colLanguageItem, &QAction::triggered, &M::colLanguageItemClick);
    connectGuarded(colTypeItem, &QAction::triggered, &M::colTypeItemClick);
    connectGuarded(colProjectItem, &QAction::triggered, &M::colProjectItemClick);
    connectGuarded(colDateItem, &QAction::triggered, &M::colDateItemClick);
    connectGuarded(colTimeItem, &QAction::triggered, &M::colTimeItemClick);

    // The detail panel: buttons, keys, date picker, focus guard.
    connectGuarded(OkButton, &QPushButton::clicked, &M::OkButtonClick);
    connectGuarded(CancelButton, &QPushButton::clicked, &M::CancelButtonClick);
    connectGuarded(ReturnKey, &QShortcut::activated, &M::confirmKeyPressed);
    connectGuarded(EnterKey, &QShortcut::activated, &M::confirmKeyPressed);
    connectGuarded(EscapeKey, &QShortcut::activated, &M::CancelButtonClick);
    connectGuarded(DatePicker, &TDatePicker::Changed, &M::DatePickerChange);
    connectGuarded(DatePicker, &TDatePicker::ClosedUp, &M::DatePickerChange);
    // Gaining the focus is reported per application.
    connectGuarded(qApp, &QApplication::focusChanged, &M::panelFocusChanged);
}

int TMainForm::ClientHeight() const {
    const QWidget* menu = menuWidget();
    const int menuHeight =
        menu ? (menu->isVisible() ? menu->height() : menu->sizeHint().height()) : 0;
    return height() - menuHeight;
}

void TMainForm::SetClientHeight(int height) {
    resize(width(), height + (this->height() - ClientHeight()));
}

void TMainForm::CenterOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    // Until the window manager has framed the window its frame is unknown:
    // centre again once it is.
    centreFrame_ = frame.size() == size();
}

void TMainForm::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (centreFrame_ && isVisible() && frameGeometry().size() != size())
        CenterOnScreen();
}

void TMainForm::createActions() {
    auto make = [this](const char* name, const QString& caption, const QString& hint,
                       const QKeySequence& shortcut, const char* icon) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint);
        action->setStatusTip(hint);
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        if (icon)
            action->setIcon(ToolIcon(icon));
        ActionList.append(action);
        return action;
    };
    ExitAction = make("ExitAction", "&Beenden", "beendet das Programm", {}, nullptr);
    NewDataBaseAction = make("NewDataBaseAction", "&neue Datenbank", "erstellt eine neue Datenbank",
                             QKeySequence(Qt::CTRL | Qt::Key_N), nullptr);
    LoadDataBaseAction = make("LoadDataBaseAction", "Datenbank &laden...",
                              "öffnet eine bereits vorhandene Datenbank",
                              QKeySequence(Qt::CTRL | Qt::Key_L), nullptr);
    ImportDataBaseAction =
        make("ImportDataBaseAction", "Datenbank &importieren...",
             "fügt die Einträge einer anderen Datenbank der geöffneten Datenbank hinzu",
             QKeySequence(Qt::CTRL | Qt::Key_I), nullptr);
    SaveDataBaseAction =
        make("SaveDataBaseAction", "Datenbank &sichern", "speichert die aktuelle Datenbank",
             QKeySequence(Qt::CTRL | Qt::Key_S), nullptr);
    SaveDataBaseAsAction = make("SaveDataBaseAsAction", "Datenbank sichern &unter...",
                                "speichert die aktuelle Datenbank unter einem neuen Namen",
                                QKeySequence(Qt::CTRL | Qt::Key_U), nullptr);
    FirstItemAction = make("FirstItemAction", "&Anfang der Datenbank",
                           "springt zum ersten Datensatz der Datenbank",
                           QKeySequence(Qt::CTRL | Qt::Key_Home), "first");
    LastItemAction =
        make("LastItemAction", "&Ende der Datenbank", "springt zum letzten Datensatz der Datenbank",
             QKeySequence(Qt::CTRL | Qt::Key_End), "last");
    NextItemAction = make("NextItemAction", "&nächster Datensatz",
                          "springt zum nächsten Datensatz der Datenbank", {}, "next");
    PreviousItemAction = make("PreviousItemAction", "&vorheriger Datensatz",
                              "springt zum vorherigen Datensatz der Datenbank", {}, "previous");
    NewItemAction =
        make("NewItemAction", "&neuer Datensatz", "erstellt einen neuen Datensatz in der Datenbank",
             QKeySequence(Qt::CTRL | Qt::Key_Insert), "new");
    ChangeItemAction =
        make("ChangeItemAction", "Datensatz &ändern", "ändert den aktuellen Datensatz",
             QKeySequence(Qt::CTRL | Qt::Key_Return), "change");
    ChangeItemAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    DeleteItemAction =
        make("DeleteItemAction", "Datensatz &löschen", "löscht den aktuellen Datensatz",
             QKeySequence(Qt::CTRL | Qt::Key_Delete), "delete");
    FilterAction = make("FilterAction", "Filtern ...", "Filtern der Datensätze",
                        QKeySequence(Qt::CTRL | Qt::Key_F), "filter");
    // Ctrl+I belongs to the import, which comes first in the menu. The
    // information item shows the key but does not register it: two actions
    // with one shortcut would make Qt run neither.
    InfoAction =
        make("InfoAction",
             QStringLiteral("Information...\t%1")
                 .arg(QKeySequence(Qt::CTRL | Qt::Key_I).toString(QKeySequence::NativeText)),
             "zeigt den Informationsdialog an", {}, nullptr);
    AnalysisAction =
        make("AnalysisAction", "&Auswertung...", "zeigt Häufigkeit und Aufwand der Fehler",
             QKeySequence(Qt::CTRL | Qt::Key_T), "analysis");

    ConfigItem = new QAction(QStringLiteral("&Konfigurieren..."), this);
    ConfigItem->setObjectName(QStringLiteral("ConfigItem"));
    ConfigItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    SaveOptionItem = new QAction(QStringLiteral("Konfiguration &Speichern"), this);
    SaveOptionItem->setObjectName(QStringLiteral("SaveOptionItem"));
    SaveOptionItem->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F9));
}

void TMainForm::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    DataBaseItem = bar->addMenu(QStringLiteral("&Datenbank"));
    DataBaseItem->setObjectName(QStringLiteral("DataBaseItem"));
    DataBaseItem->addActions({NewDataBaseAction, LoadDataBaseAction, SaveDataBaseAction,
                              SaveDataBaseAsAction, ImportDataBaseAction});
    DataBaseItem->addSeparator();
    RecentFilesItem = new TRecentFilesMenu(this);
    DataBaseItem->addMenu(RecentFilesItem);
    DataBaseItem->addSeparator();
    DataBaseItem->addAction(ExitAction);

    ShowItem = bar->addMenu(QStringLiteral("&Ansicht"));
    ShowItem->setObjectName(QStringLiteral("ShowItem"));
    ShowItem->addActions({NextItemAction, PreviousItemAction, FirstItemAction, LastItemAction});
    ShowItem->addSeparator();
    ShowItem->addAction(AnalysisAction);

    DataItem = bar->addMenu(QStringLiteral("&Datensatz"));
    DataItem->setObjectName(QStringLiteral("DataItem"));
    DataItem->addActions({UndoAction, RedoAction});
    DataItem->addSeparator();
    DataItem->addActions({NewItemAction, DeleteItemAction, ChangeItemAction});
    DataItem->addSeparator();
    DataItem->addAction(FilterAction);

    OptionItem = bar->addMenu(QStringLiteral("&Optionen"));
    OptionItem->setObjectName(QStringLiteral("OptionItem"));
    OptionItem->addActions({ConfigItem, SaveOptionItem});

    HelpItem = bar->addMenu(QStringLiteral("&Hilfe"));
    HelpItem->setObjectName(QStringLiteral("HelpItem"));
    HelpItem->addAction(InfoAction);

    for (QMenu* menu : {DataBaseItem, ShowItem, DataItem, OptionItem, HelpItem})
        menu->setToolTipsVisible(false);
}

void TMainForm::createToolBar() {
    ToolBar = new QToolBar(QStringLiteral("ToolBar"), this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar->setFixedHeight(29);
    ToolBar->setFont(FormFont());
    // A line along the top and the bottom edge, buttons packed without gaps.
    ToolBar->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar { border: none; border-top: 1px solid palette(mid);"
        " border-bottom: 1px solid palette(mid); spacing: 0px; padding: 0px 1px; }"));
    addToolBar(Qt::TopToolBarArea, ToolBar);

    auto button = [this](QAction* action, const char* name) {
        ToolBar->addAction(action);
        auto* b = qobject_cast<QToolButton*>(ToolBar->widgetForAction(action));
        b->setObjectName(QLatin1String(name));
        b->setFixedSize(23, 22);
        b->setAutoRaise(true);
        return b;
    };
    auto separator = [this](const char* name) {
        auto* line = new QFrame(ToolBar);
        line->setObjectName(QLatin1String(name));
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        line->setFixedSize(10, 22);
        ToolBar->addWidget(line);
        return line;
    };
    FirstButton = button(FirstItemAction, "FirstButton");
    PreviousButton = button(PreviousItemAction, "PreviousButton");
    NextButton = button(NextItemAction, "NextButton");
    LastButton = button(LastItemAction, "LastButton");
    SplitButton1 = separator("SplitButton1");
    NewButton = button(NewItemAction, "NewButton");
    DeleteButton = button(DeleteItemAction, "DeleteButton");
    ChangeButton = button(ChangeItemAction, "ChangeButton");
    SplitButton2 = separator("SplitButton2");
    FilterButton = button(FilterAction, "FilterButton");
}

void TMainForm::createListPanel() {
    ListPanel = new QWidget(this);
    ListPanel->setObjectName(QStringLiteral("ListPanel"));
    ListPanel->setFont(FormFont());
    ListPanel->setMinimumWidth(ListPanelMinWidth);
    auto* layout = new QVBoxLayout(ListPanel);
    layout->setContentsMargins(19, 16, 18, 10);

    ListModel = new TRecordListModel(this);
    ListModel->SetColumnOrder(ColumnOrder);
    ListView = new TRecordListView(ListPanel);
    ListView->setObjectName(QStringLiteral("ListView"));
    ListView->setModel(ListModel);
    ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView->setShowGrid(false);
    ListView->setWordWrap(false);
    ListView->setTabKeyNavigation(false);
    ListView->setCornerButtonEnabled(false);
    ListView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ListView->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    ListView->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView* rows = ListView->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed); // uniform rows, never measured
    rows->setDefaultSectionSize(ListView->fontMetrics().height() + 4);
    rows->setMinimumSectionSize(1);
    QHeaderView* header = ListView->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    layout->addWidget(ListView);

    ListViewPopup = new QMenu(ListView);
    ListViewPopup->setObjectName(QStringLiteral("ListViewPopup"));
    auto item = [this](const char* name, TColumnKind kind) {
        QAction* a = ListViewPopup->addAction(ColumnCaptions[kind]);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true); // ticked by the layout
        return a;
    };
    colLanguageItem = item("colLanguageItem", ckLanguage);
    colTypeItem = item("colTypeItem", ckType);
    colProjectItem = item("colProjectItem", ckProject);
    colDateItem = item("colDateItem", ckDate);
    colTimeItem = item("colTimeItem", ckTime);
}

void TMainForm::showListViewPopup(const QPoint& at) {
    ListViewPopup->popup(ListView->viewport()->mapToGlobal(at));
}

void TMainForm::createDetailPanel() {
    DetailPanel = new QWidget(this);
    DetailPanel->setObjectName(QStringLiteral("DetailPanel"));
    DetailPanel->setFont(FormFont());
    DetailPanel->setMinimumWidth(DetailPanelMinWidth);
    // The controls are placed for the first-start size of the panel (the
    // client height below the 29-pixel toolbar); anchors keep the distances
    // they have at this size.
    const WindowConfiguration design = WindowConfiguration::FirstStart();
    DetailPanel->resize(design.DetailWidth, design.ClientHeight - 29);
    DetailAnchors = new TAnchors(DetailPanel);

    using A = TAnchors;
    auto place = [this](QWidget* w, const char* name, int left, int top, int width, int height,
                        int anchors) {
        w->setObjectName(QLatin1String(name));
        if (width > 0)
            w->setGeometry(left, top, width, height);
        else {
            w->adjustSize();
            w->move(left, top);
        }
        DetailAnchors->Anchor(w, anchors);
    };
    auto label = [this, &place](const char* name, const QString& text, int left, int top,
                                int anchors) {
        auto* l = new QLabel(text, DetailPanel);
        place(l, name, left, top, 0, 0, anchors);
        return l;
    };
    auto combo = [this, &place](const char* name, const QString& hint, int left, int top,
                                int width) {
        auto* box = new QComboBox(DetailPanel); // not editable: only its items can be chosen
        box->setToolTip(hint);
        box->setInsertPolicy(QComboBox::NoInsert);
        place(box, name, left, top, width, 21, A::akLeft | A::akTop | A::akRight);
        return box;
    };

    // Frames first, so that they lie below the controls.
    Bevel1 = new TBevel(TBevel::Shape::Frame, DetailPanel);
    place(Bevel1, "Bevel1", 19, 16, 251, 71, A::akLeft | A::akTop | A::akRight);
    Bevel2 = new TBevel(TBevel::Shape::Box, DetailPanel);
    place(Bevel2, "Bevel2", 19, 108, 251, 273, A::akAll);
    Bevel3 = new TBevel(TBevel::Shape::TopLine, DetailPanel);
    place(Bevel3, "Bevel3", 19, 206, 251, 173, A::akAll);

    LanguageLabel = label("LanguageLabel", "Sprache:", 34, 31, A::akLeft | A::akTop);
    LanguageBox = combo("LanguageBox", "Programmiersprache, in welcher der Fehler gemacht wurde",
                        96, 26, 158);
    TypeLabel = label("TypeLabel", "Kategorie:", 34, 61, A::akLeft | A::akTop);
    TypeBox = combo("TypeBox", "Kategorie des Fehlers", 96, 56, 158);
    ProjectLabel = label("ProjectLabel", "Projekt:", 34, 127, A::akLeft | A::akTop);
    ProjectBox =
        combo("ProjectBox", "Programmierprojekt in welchem der Fehler auftrat", 85, 120, 169);

    DateLabel = label("DateLabel", "Datum:", 85, 152, A::akLeft | A::akTop);
    DateEdit = new QLineEdit(DetailPanel);
    DateEdit->setReadOnly(true);
    DateEdit->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    DateEdit->setToolTip(QStringLiteral("Datum der Entdeckung des Fehlers"));
    place(DateEdit, "DateEdit", 85, 172, 65, 21, A::akLeft | A::akTop | A::akRight);
    DatePicker = new TDatePicker(DetailPanel);
    DatePicker->setToolTip(QStringLiteral("Datum der Entdeckung des Fehlers"));
    DatePicker->setEnabled(false);
    place(DatePicker, "DatePicker", 150, 172, 18, 21, A::akTop | A::akRight);

    TimeLabel = label("TimeLabel", "benötigte Zeit:", 181, 152, A::akTop | A::akRight);
    TimeEdit = new TMinutesEdit(DetailPanel);
    TimeEdit->setReadOnly(true);
    TimeEdit->setToolTip(QStringLiteral("beöntigte Zeit zum Beseitigen des Fehlers (in min.)"));
    place(TimeEdit, "TimeEdit", 181, 172, 70, 22, A::akTop | A::akRight);
    setTimeEditHidden(true);

    DescriptionLabel = label("DescriptionLabel", "Beschreibung:", 34, 218, A::akLeft | A::akTop);
    DescriptionMemo = new QPlainTextEdit(DetailPanel);
    DescriptionMemo->setReadOnly(true);
    DescriptionMemo->setTabChangesFocus(true);
    DescriptionMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DescriptionMemo->setToolTip(QStringLiteral("eine genauere Fehlerbeschreibung"));
    place(DescriptionMemo, "DescriptionMemo", 34, 236, 220, 129, A::akAll);

    OkButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                               QStringLiteral("OK"), DetailPanel);
    place(OkButton, "OkButton", 19, 398, 101, 24, A::akLeft | A::akBottom);
    OkButton->hide();
    CancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                   QStringLiteral("Abbruch"), DetailPanel);
    place(CancelButton, "CancelButton", 171, 398, 101, 24, A::akRight | A::akBottom);
    CancelButton->hide();

    setTabOrder(LanguageBox, TypeBox);
    setTabOrder(TypeBox, ProjectBox);
    setTabOrder(ProjectBox, DatePicker->Button());
    setTabOrder(DatePicker->Button(), TimeEdit);
    setTabOrder(TimeEdit, DescriptionMemo);
    setTabOrder(DescriptionMemo, OkButton);
    setTabOrder(OkButton, CancelButton);
}

void TMainForm::createSplitter() {
    Splitter = new QSplitter(Qt::Horizontal, this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(SplitterWidth);
    Splitter->setChildrenCollapsible(false);
    Splitter->addWidget(ListPanel);
    Splitter->addWidget(DetailPanel);
    Splitter->setStretchFactor(0, 1);
    Splitter->setStretchFactor(1, 0);
    setCentralWidget(Splitter);
}

void TMainForm::createFileDialogs() {
    const auto make = [this](const char* name, const QString& title, QFileDialog::AcceptMode mode) {
        return TFileDialogSlot([this, name, title, mode] {
            auto* dialog = new QFileDialog(this, title);
            dialog->setObjectName(QLatin1String(name));
            // Qt's own dialog: the same titles, filters and behaviour on every desktop.
            dialog->setOption(QFileDialog::DontUseNativeDialog);
            dialog->setAcceptMode(mode);
            dialog->setFileMode(QFileDialog::AnyFile); // an opened file need not exist
            dialog->setDefaultSuffix(QStringLiteral("mvd"));
            dialog->setNameFilters({QStringLiteral("Mavrolin-Datenbank (*.mvd)"),
                                    QStringLiteral("alle Dateien (*.*)")});
            return dialog;
        });
    };
    SaveDialog = make("SaveDialog", QStringLiteral("Datenbank sichern"), QFileDialog::AcceptSave);
    OpenDialog = make("OpenDialog", QStringLiteral("Datenbank öffnen"), QFileDialog::AcceptOpen);
}

// While no entry is shown, the minutes are drawn in the field's background
// colour, so that the 0 can't be seen.
void TMainForm::setTimeEditHidden(bool hidden) {
    QPalette palette = QApplication::palette(TimeEdit);
    if (hidden)
        palette.setColor(QPalette::Text, palette.color(QPalette::Base));
    TimeEdit->setPalette(palette);
}
