#include "logpartbar.h"

#include "logtext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>

LogPartBar::LogPartBar(QWidget *parent) : QWidget(parent)
{
    text = new QLabel;
    text->setObjectName(QStringLiteral("logPart"));
    text->setWordWrap(true);
    earlier = new QPushButton(tr("Read Ea&rlier Lines"));
    earlier->setObjectName(QStringLiteral("logEarlier"));
    latest = new QPushButton(tr("Go to E&nd"));
    latest->setObjectName(QStringLiteral("logLatest"));
    connect(earlier, &QPushButton::clicked, this, &LogPartBar::earlierRequested);
    connect(latest, &QPushButton::clicked, this, &LogPartBar::latestRequested);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(text, 1);
    row->addWidget(earlier);
    row->addWidget(latest);
    hide();
}

void LogPartBar::Show(const LogText &read)
{
    setVisible(!read.Whole());
    if (read.Whole())
        return;
    const QLocale locale;
    // The filter searches what is read: say where that is.
    text->setText(tr("A large log: %1 of its %2 are read; %3 before them and %4 after them are "
                     "not (the filter searches what is read).")
                      .arg(locale.formattedDataSize(read.Bytes().size()),
                           locale.formattedDataSize(read.FileSize()),
                           locale.formattedDataSize(read.Before()),
                           locale.formattedDataSize(read.After())));
    earlier->setEnabled(read.Before() > 0);
    latest->setEnabled(read.After() > 0);
}
