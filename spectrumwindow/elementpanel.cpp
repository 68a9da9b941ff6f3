#include "elementpanel.h"

#include "colourswatch.h"
#include "errorlabel.h"

#include "xray/elements.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>


ElementPanel::ElementPanel(QWidget *parent) : LazyPanel(parent)
{
    setObjectName(QStringLiteral("ElementPanel"));
}

void ElementPanel::build()
{
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("PinnedElements"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    entry_ = new QLineEdit(this);
    entry_->setObjectName(QStringLiteral("PinnedElementsEntry"));
    entry_->setClearButtonEnabled(true);
    add_ = new QPushButton(this);
    add_->setObjectName(QStringLiteral("PinTyped"));
    remove_ = new QPushButton(this);
    remove_->setObjectName(QStringLiteral("UnpinElement"));
    pinShown_ = new QPushButton(this);
    pinShown_->setObjectName(QStringLiteral("PinShownElement"));
    hint_ = new QLabel(this);
    hint_->setWordWrap(true);
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("PinnedElementsError"));
    error_->setWordWrap(true);
    showAsError(error_);

    auto *grid = new QGridLayout(this);
    grid->addWidget(hint_, 0, 0, 1, 2);
    grid->addWidget(entry_, 1, 0);
    grid->addWidget(add_, 1, 1);
    grid->addWidget(error_, 2, 0, 1, 2);
    grid->addWidget(list_, 3, 0, 1, 2);
    grid->addWidget(pinShown_, 4, 0);
    grid->addWidget(remove_, 4, 1);

    connect(entry_, &QLineEdit::returnPressed, this, &ElementPanel::addTyped);
    connect(add_, &QPushButton::clicked, this, &ElementPanel::addTyped);
    connect(remove_, &QPushButton::clicked, this, &ElementPanel::removeSelected);
    connect(pinShown_, &QPushButton::clicked, this, &ElementPanel::pinShownRequested);
    fillList();
    retranslate();
}

void ElementPanel::setElements(const QList<QPair<int, QColor>> &elements)
{
    // The same again (the markers are refreshed on every pointer move over
    // the periodic table): the list keeps its selection.
    if (elements == elements_ && isBuilt())
        return;
    elements_ = elements;
    fillList();
}

void ElementPanel::fillList()
{
    if (!isBuilt())
        return;
    list_->clear();
    for (const auto &[Z, colour] : elements_) {
        const std::string_view symbol = xray::elementSymbol(Z);
        auto *item = new QListWidgetItem(ColourSwatch(colour),
                                         QStringLiteral("%1 (%2)").arg(QString::fromLatin1(symbol.data(), qsizetype(symbol.size()))).arg(Z));
        item->setData(Qt::UserRole, Z);
        list_->addItem(item);
    }
    remove_->setEnabled(!elements_.isEmpty());
}

void ElementPanel::addTyped()
{
    QList<int> elements;
    unknown_.clear();
    const QStringList words = entry_->text().split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const std::optional<int> Z = xray::parseElement(word.toStdString());
        if (Z && xray::hasLines(*Z))
            elements << *Z;
        else
            unknown_ << word;
    }
    retranslate();
    if (unknown_.isEmpty())
        entry_->clear();
    if (!elements.isEmpty())
        emit pinRequested(elements);
}

void ElementPanel::removeSelected()
{
    QList<QListWidgetItem *> items = list_->selectedItems();
    if (items.isEmpty() && list_->currentItem())
        items << list_->currentItem();
    QList<int> elements;
    for (QListWidgetItem *item : items)
        elements << item->data(Qt::UserRole).toInt();
    for (int Z : elements)
        emit unpinRequested(Z);
}

void ElementPanel::retranslate()
{
    if (!isBuilt())
        return;
    hint_->setText(tr("Pinned elements keep their markers, and their strong lines' sum peaks are drawn dotted. "
                      "Type symbols or atomic numbers:"));
    entry_->setPlaceholderText(tr("Fe Cu 29"));
    add_->setText(tr("&Pin"));
    remove_->setText(tr("&Unpin"));
    pinShown_->setText(tr("Pin the element on &show"));
    pinShown_->setToolTip(tr("The element under the pointer in the periodic table (key P in the plot)"));
    error_->setText(unknown_.isEmpty() ? QString()
                                       : tr("No element with lines: %1").arg(unknown_.join(QStringLiteral(", "))));
    error_->setVisible(!unknown_.isEmpty());
}

void ElementPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    LazyPanel::changeEvent(event);
}
