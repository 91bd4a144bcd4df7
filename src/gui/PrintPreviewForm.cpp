#include "gui/PrintPreviewForm.h"

#include "gui/FormSetup.h"
#include "gui/PreviewPages.h"
#include "report/ListPrintLayout.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QPageLayout>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

static void InitIconResources() {
    Q_INIT_RESOURCE(Icons);
}

namespace {

// Page numbers as German write them: "Seite 1.234 von 40.896".
const QLocale German(QLocale::German, QLocale::Germany);

// The sizes of the zoom box after "ganze Seite" and "Seitenbreite".
constexpr std::array<int, 9> Percents = {25, 50, 75, 100, 125, 150, 200, 300, 400};
constexpr int FixedItems = 2;

QToolButton* MakeToolButton(QWidget* parent, const char* name, const char* icon,
                            const QString& text, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    if (icon)
        button->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(icon))));
    else
        button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TPrintPreviewForm::TPrintPreviewForm(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
    InitIconResources();
    setObjectName(QStringLiteral("PrintPreviewForm"));
    setWindowTitle(QStringLiteral("Druckvorschau"));
    setFont(FormFont());

    FirstPageButton = MakeToolButton(this, "FirstPageButton", "first", {},
                                     QStringLiteral("zeigt die erste Seite (Pos1)"));
    PreviousPageButton = MakeToolButton(this, "PreviousPageButton", "previous", {},
                                        QStringLiteral("zeigt die vorherige Seite (Bild auf)"));
    auto* pageCaption = new QLabel(QStringLiteral("S&eite"), this);
    pageCaption->setObjectName(QStringLiteral("PageCaption"));
    PageBox = new QSpinBox(this);
    PageBox->setObjectName(QStringLiteral("PageBox"));
    PageBox->setToolTip(QStringLiteral("springt zur eingegebenen Seite"));
    PageBox->setKeyboardTracking(false);
    PageBox->setGroupSeparatorShown(true);
    PageBox->setLocale(German);
    pageCaption->setBuddy(PageBox);
    PageCountLabel = new QLabel(this);
    PageCountLabel->setObjectName(QStringLiteral("PageCountLabel"));
    NextPageButton = MakeToolButton(this, "NextPageButton", "next", {},
                                    QStringLiteral("zeigt die nächste Seite (Bild ab)"));
    LastPageButton = MakeToolButton(this, "LastPageButton", "last", {},
                                    QStringLiteral("zeigt die letzte Seite (Ende)"));

    ZoomOutButton = MakeToolButton(this, "ZoomOutButton", nullptr, QStringLiteral("\u2212"),
                                   QStringLiteral("verkleinert die Seiten (Strg+Minus)"));
    ZoomOutButton->setShortcut(QKeySequence::ZoomOut);
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    ZoomBox->setToolTip(QStringLiteral("wie groß die Seiten gezeigt werden"));
    ZoomBox->addItems({QStringLiteral("ganze Seite"), QStringLiteral("Seitenbreite")});
    for (const int percent : Percents)
        ZoomBox->addItem(QStringLiteral("%1 %").arg(percent));
    ZoomInButton = MakeToolButton(this, "ZoomInButton", nullptr, QStringLiteral("+"),
                                  QStringLiteral("vergrößert die Seiten (Strg+Plus)"));
    ZoomInButton->setShortcut(QKeySequence::ZoomIn);

    PrintButton = new QPushButton(QStringLiteral("&Drucken..."), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    PrintButton->setToolTip(QStringLiteral("druckt die Liste über den Druckdialog (Strg+P)"));
    PrintButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    PrintButton->setAutoDefault(false);
    CloseButton = new QPushButton(QStringLiteral("&Schließen"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setToolTip(QStringLiteral("schließt die Vorschau"));
    CloseButton->setAutoDefault(false);

    Pages = new TPreviewPages(this);
    PageLabel = new QLabel(this);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));

    auto* bar = new QHBoxLayout();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{FirstPageButton, PreviousPageButton, pageCaption, PageBox,
                                         PageCountLabel, NextPageButton, LastPageButton})
        bar->addWidget(widget);
    bar->addSpacing(24);
    for (QWidget* widget : std::initializer_list<QWidget*>{ZoomOutButton, ZoomBox, ZoomInButton})
        bar->addWidget(widget);
    bar->addStretch(1);
    bar->addWidget(PrintButton);
    bar->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Pages, 1);
    layout->addWidget(PageLabel);

    connect(FirstPageButton, &QToolButton::clicked, this, [this] { Pages->ShowPage(0); });
    connect(PreviousPageButton, &QToolButton::clicked, this,
            [this] { Pages->ShowPage(Pages->CurrentPage() - 1); });
    connect(NextPageButton, &QToolButton::clicked, this,
            [this] { Pages->ShowPage(Pages->CurrentPage() + 1); });
    connect(LastPageButton, &QToolButton::clicked, this,
            [this] { Pages->ShowPage(Pages->PageCount() - 1); });
    connect(PageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page - 1 != Pages->CurrentPage())
            Pages->ShowPage(page - 1);
    });
    connect(Pages, &TPreviewPages::CurrentPageChanged, this, &TPrintPreviewForm::showCurrentPage);
    connect(ZoomBox, &QComboBox::activated, this, &TPrintPreviewForm::zoomChosen);
    connect(ZoomOutButton, &QToolButton::clicked, this, [this] { zoomStep(-1); });
    connect(ZoomInButton, &QToolButton::clicked, this, [this] { zoomStep(1); });
    connect(Pages, &TPreviewPages::ZoomStepped, this, &TPrintPreviewForm::zoomStep);
    connect(Pages, &TPreviewPages::ZoomChanged, this, &TPrintPreviewForm::showZoom);
    connect(PrintButton, &QPushButton::clicked, this, [this] { done(PrintResult); });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    // As large as an A4 page fits on the screen, at most.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : QSize(800, 900);
    resize(std::min(room.width(), 760), std::min(room.height(), 960));
}

bool TPrintPreviewForm::Execute(const report::ListPrintLayout& layout,
                                const QPageLayout& pageLayout, int resolution) {
    const int count = layout.PageCount();
    PageBox->setRange(1, std::max(1, count));
    PageCountLabel->setText(QStringLiteral("von ") + German.toString(count));
    Pages->SetPages(&layout, pageLayout, resolution);
    showCurrentPage(Pages->CurrentPage());
    Pages->setFocus();
    const int result = exec();
    Pages->SetPages(nullptr, pageLayout, resolution); // the layout goes with the caller
    return result == PrintResult;
}

void TPrintPreviewForm::showCurrentPage(int index) {
    const int count = Pages->PageCount();
    if (index < 0 || count == 0) {
        PageLabel->clear();
        return;
    }
    PageLabel->setText(
        QStringLiteral("Seite %1 von %2").arg(German.toString(index + 1), German.toString(count)));
    {
        const QSignalBlocker quiet(PageBox);
        PageBox->setValue(index + 1);
    }
    FirstPageButton->setEnabled(index > 0);
    PreviousPageButton->setEnabled(index > 0);
    NextPageButton->setEnabled(index + 1 < count);
    LastPageButton->setEnabled(index + 1 < count);
}

void TPrintPreviewForm::zoomChosen(int item) {
    if (item == 0)
        Pages->SetZoom(TPreviewPages::Zoom::WholePage);
    else if (item == 1)
        Pages->SetZoom(TPreviewPages::Zoom::PageWidth);
    else if (item >= FixedItems)
        Pages->SetZoom(TPreviewPages::Zoom::Percent,
                       Percents[static_cast<std::size_t>(item - FixedItems)]);
}

void TPrintPreviewForm::zoomStep(int direction) {
    // The next size of the list beyond the present one.
    const double now = Pages->ZoomPercent();
    std::size_t next = 0;
    if (direction > 0) {
        while (next + 1 < Percents.size() && Percents[next] <= now + 0.5)
            ++next;
    } else {
        next = Percents.size() - 1;
        while (next > 0 && Percents[next] >= now - 0.5)
            --next;
    }
    Pages->SetZoom(TPreviewPages::Zoom::Percent, Percents[next]);
    ZoomBox->setCurrentIndex(FixedItems + static_cast<int>(next));
}

void TPrintPreviewForm::showZoom() {
    const double now = Pages->ZoomPercent();
    ZoomOutButton->setEnabled(now > Percents.front() + 0.5);
    ZoomInButton->setEnabled(now < Percents.back() - 0.5);
}
