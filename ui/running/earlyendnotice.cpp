#include "earlyendnotice.h"

#include "launchrecords.h"
#include "logtext.h"
#include "mnemonics.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

EarlyEndNotice::EarlyEndNotice(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("earlyEndNotice"));
    setWindowTitle(tr("Velmora Mobile Emulator Launcher"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Not modal: the user goes on working once it is read.
    setModal(false);
    heading = new QLabel;
    heading->setObjectName(QStringLiteral("earlyEndHeading"));
    heading->setWordWrap(true);
    heading->setTextFormat(Qt::PlainText);
    auto *icon = new QLabel;
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(heading, 1);
    list = new QListWidget;
    list->setObjectName(QStringLiteral("earlyEnds"));
    list->setAccessibleName(tr("Emulators that ended"));
    list->setWordWrap(true);
    // A thousand wrapped rows are laid out a batch at a time, not in one stall of the window.
    list->setLayoutMode(QListView::Batched);
    list->setBatchSize(50);
    output = new QPlainTextEdit;
    output->setObjectName(QStringLiteral("earlyEndOutput"));
    output->setAccessibleName(tr("What it wrote"));
    output->setReadOnly(true);
    output->setLineWrapMode(QPlainTextEdit::NoWrap);
    output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *buttons = new QDialogButtonBox;
    openLog = buttons->addButton(tr("Open Log"), QDialogButtonBox::ActionRole);
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // Opening the log leaves the notice where it is.
    connect(openLog, &QPushButton::clicked, this, [this] {
        const int row = list->currentRow();
        if (row >= 0 && row < ends.size())
            emit openLogRequested(ends.at(row).profile, ends.at(row).log);
    });
    connect(list, &QListWidget::currentRowChanged, this, &EarlyEndNotice::ShowChosen);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list, 1);
    layout->addWidget(output, 2);
    layout->addWidget(buttons);
    // Close's letter comes from the platform's theme; the window's own letters come first.
    CompleteMnemonics(this);
}

void EarlyEndNotice::Add(const QList<End> &more)
{
    // The newest first: the new rows go on top of those shown.
    QStringList texts;
    for (const End &end : more) {
        ends.prepend(end);
        texts.prepend(end.text);
    }
    list->insertItems(0, texts);
    // One end needs no list: the heading says it.
    list->setVisible(ends.size() > 1);
    heading->setText(ends.size() == 1
                         ? ends.first().text
                         : tr("%1 emulators ended right after they started, the newest first:")
                               .arg(QLocale().toString(qsizetype(ends.size()))));
    list->setCurrentRow(0);
    ShowChosen();
    // Never taller or wider than the screen it is on: the list and the output scroll.
    const QScreen *screen =
        parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        setMaximumSize(room.width() * 9 / 10, room.height() * 9 / 10);
        resize(qMin(640, maximumWidth()), qMin(sizeHint().height(), maximumHeight()));
        QRect placed = geometry();
        if (!room.contains(placed)) {
            placed.moveTopLeft(room.topLeft() + QPoint((room.width() - placed.width()) / 2,
                                                       (room.height() - placed.height()) / 2));
            setGeometry(placed);
        }
    }
    show();
    raise();
    activateWindow();
}

void EarlyEndNotice::ShowChosen()
{
    const int row = qMax(0, list->currentRow());
    if (row >= ends.size())
        return;
    const End &end = ends.at(row);
    openLog->setVisible(!end.log.isEmpty());
    if (end.log.isEmpty()) {
        output->setPlainText(tr("Its output was not kept."));
        return;
    }
    const QString excerpt = LogExcerpt(end.log);
    output->setPlainText(excerpt.isEmpty() ? tr("It wrote nothing.") : excerpt);
}

QString EarlyEndNotice::Text() const
{
    if (ends.size() == 1)
        return heading->text();
    QStringList texts{heading->text()};
    for (const End &end : ends)
        texts.append(end.text);
    return texts.join(QStringLiteral("\n\n"));
}

QString EarlyEndNotice::Output() const
{
    return output->toPlainText();
}
