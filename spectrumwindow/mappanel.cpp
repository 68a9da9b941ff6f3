#include "mappanel.h"

#include "mapworker.h"

#include "uicommon/errortext.h"
#include "uicommon/numberlocale.h"

#include "identify/mapfit.h"
#include "identify/mapmodel.h"
#include "image/cube.h"
#include "image/mapimage.h"
#include "image/open.h"
#include "image/spectra.h"
#include "xray/elements.h"
#include "xray/lines.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

// A cube up to this size is read into memory once opened, so that the
// maps asked for later do not decode the file again; a larger one is
// read from the file, a chunk at a time, for each map.
constexpr std::uint64_t InMemoryBytes = 512u << 20;

// How often the progress bar follows the step.
constexpr int ProgressIntervalMs = 100;

QString symbolOf(int Z)
{
    const std::string_view s = xray::elementSymbol(Z);
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

// The threads that fit the pixels: all the cores but one, which the
// window keeps.
unsigned fittingThreads()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? cores - 1 : 1;
}

} // namespace

// The map, enlarged to fill the widget (each pixel of the image a square), with its colour scale beside it: the
// top value above it and 0 below.
class MapView : public QWidget {
public:
    explicit MapView(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("MapView"));
        setMinimumSize(200, 160);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

    void setMap(QImage picture, double top)
    {
        picture_ = std::move(picture);
        top_ = top;
        update();
    }
    const QImage &picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        if (picture_.isNull())
            return;
        const QFontMetrics fm(font());
        const QString topText = NumberLocale().toString(top_, 'g', 4);
        const int barWidth = 12;
        const int scaleWidth = barWidth + 6 + std::max(fm.horizontalAdvance(topText), fm.horizontalAdvance(u"0"_qs));
        const QRect room = rect().adjusted(0, fm.height() / 2, -scaleWidth - 8, -fm.height() / 2);
        if (room.width() < 10 || room.height() < 10)
            return;
        // As large as the room allows, each pixel of the image a square.
        const QSize size = picture_.size().scaled(room.size(), Qt::KeepAspectRatio);
        const QRect target(room.topLeft(), size);
        p.drawImage(target, picture_);
        p.setPen(palette().windowText().color());
        p.drawRect(target.adjusted(0, 0, -1, -1));
        // The scale.
        const QRect bar(target.right() + 8, target.top(), barWidth, target.height());
        for (int y = 0; y < bar.height(); ++y) {
            const auto c = image::mapColour(1.0 - double(y) / std::max(1, bar.height() - 1));
            p.setPen(QColor(c[0], c[1], c[2]));
            p.drawLine(bar.left(), bar.top() + y, bar.right(), bar.top() + y);
        }
        p.setPen(palette().windowText().color());
        p.drawRect(bar.adjusted(0, 0, -1, -1));
        const int textX = bar.right() + 6;
        p.drawText(QPoint(textX, bar.top() + fm.ascent() / 2), topText);
        p.drawText(QPoint(textX, bar.bottom() + fm.ascent() / 2), u"0"_qs);
    }

private:
    QImage picture_;
    double top_ = 1;
};

struct MapPanel::Outcome {
    std::optional<spectrum::Error> error;
    std::shared_ptr<const image::PixelSource> source;
    spectrum::Spectrum sum;
    std::vector<image::ElementMap> maps;
};

MapPanel::MapPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("MapPanel"));
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("MapTitle"));
    title_->setWordWrap(true);
    view_ = new MapView(this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("MapStatus"));
    status_->setWordWrap(true);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("MapProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    cancel_ = new QPushButton(this);
    cancel_->setObjectName(QStringLiteral("MapCancel"));
    timer_ = new QTimer(this);
    timer_->setInterval(ProgressIntervalMs);

    auto *busyRow = new QHBoxLayout;
    busyRow->addWidget(progress_, 1);
    busyRow->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(title_);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    layout->addLayout(busyRow);
    setMinimumWidth(240);

    connect(cancel_, &QPushButton::clicked, this, &MapPanel::cancel);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (worker_)
            progress_->setValue(int(std::lround(worker_->fraction() * 1000)));
    });
    retranslate();
    showStatus();
}

MapPanel::~MapPanel() = default; // the worker cancels its step and waits for it

identify::IdentifyOptions MapPanel::identifyOptions() const { return options_ ? options_() : identify::IdentifyOptions{}; }

void MapPanel::openImage(const QString &path)
{
    if (worker_)
        worker_->cancel();
    worker_.reset();
    path_ = QFileInfo(path).absoluteFilePath();
    source_.reset();
    sum_ = {};
    found_.reset();
    maps_.clear();
    refused_.clear();
    shownZ_ = 0;
    stopped_ = false;
    view_->setMap({}, 1);
    title_->clear();
    start(Step::Open);
}

const image::ElementMap *MapPanel::map(int Z) const
{
    const auto it = maps_.find(Z);
    return it == maps_.end() ? nullptr : &it->second;
}

bool MapPanel::busy() const { return worker_ && step_ != Step::None; }

QImage MapPanel::picture() const { return view_->picture(); }

void MapPanel::cancel()
{
    if (!busy())
        return;
    stopped_ = true;
    worker_->cancel();
}

void MapPanel::showElement(int Z)
{
    if (Z <= 0)
        return;
    wantedZ_ = Z;
    stopped_ = false;
    if (maps_.count(Z)) {
        display(Z);
        // A map on its way for another element is no longer wanted.
        if (busy() && step_ == Step::Element)
            worker_->cancel();
        return;
    }
    if (busy()) {
        if (step_ == Step::Element && stepZ_ != Z)
            worker_->cancel(); // stepFinished() goes on with the one wanted now
        showStatus();
        return;
    }
    next();
}

// What to do once nothing runs: the maps of the elements found, then the
// element last asked for.
void MapPanel::next()
{
    if (busy() || stopped_ || !source_)
        return;
    if (!found_) {
        start(Step::Found);
        return;
    }
    if (wantedZ_ > 0 && !maps_.count(wantedZ_) && !refused_.count(wantedZ_)) {
        start(Step::Element, wantedZ_);
        return;
    }
    if (wantedZ_ > 0 && maps_.count(wantedZ_) && shownZ_ != wantedZ_)
        display(wantedZ_);
    showStatus();
}

void MapPanel::start(Step step, int Z)
{
    step_ = step;
    stepZ_ = Z;
    auto outcome = std::make_shared<Outcome>();
    outcome_ = outcome;
    MapWorker::Step work;
    image::ChunkOptions chunks;
    chunks.threads = fittingThreads();
    if (step == Step::Open) {
        const std::string path = QFile::encodeName(path_).toStdString();
        work = [outcome, path, chunks](const image::Progress &progress) mutable {
            chunks.progress = progress;
            auto opened = image::openImageFile(path, progress);
            if (!opened) {
                outcome->error = opened.error();
                return;
            }
            std::shared_ptr<const image::PixelSource> source = std::move(opened).value();
            auto sum = image::sumSpectrum(*source, chunks);
            if (!sum) {
                outcome->error = sum.error();
                return;
            }
            outcome->sum = std::move(sum).value();
            if (source->header().decodedBytes() <= InMemoryBytes) {
                auto cube = image::loadCube(*source, chunks);
                if (!cube) {
                    outcome->error = cube.error();
                    return;
                }
                source = std::move(cube).value();
            }
            outcome->source = std::move(source);
        };
    } else {
        identify::MapOptions options;
        options.identify = identifyOptions();
        if (step == Step::Element) {
            options.elements = *found_;
            if (std::find(options.elements.begin(), options.elements.end(), Z) == options.elements.end())
                options.elements.push_back(Z);
        }
        work = [outcome, options, chunks, source = source_, sum = sum_, Z](const image::Progress &progress) mutable {
            chunks.progress = progress;
            auto design = identify::buildMapModel(sum, options);
            if (!design) {
                outcome->error = design.error();
                return;
            }
            auto fit = identify::MapFit::prepare(design->model);
            if (!fit) {
                outcome->error = fit.error();
                return;
            }
            auto values = image::fitMaps(*source, fit.value(), chunks);
            if (!values) {
                outcome->error = values.error();
                return;
            }
            outcome->maps = image::splitMaps(design->model, std::move(values).value(), source->header().pixels());
            if (Z > 0)
                std::erase_if(outcome->maps, [Z](const image::ElementMap &m) { return m.Z != Z; });
        };
    }
    worker_ = std::make_unique<MapWorker>(std::move(work));
    connect(worker_.get(), &MapWorker::finished, this, &MapPanel::stepFinished);
    progress_->setValue(0);
    timer_->start();
    showStatus();
    emit busyChanged(true);
}

void MapPanel::stepFinished()
{
    timer_->stop();
    const Step step = step_;
    const int Z = stepZ_;
    const std::shared_ptr<Outcome> outcome = std::move(outcome_);
    step_ = Step::None;
    stepZ_ = 0;
    worker_.reset();
    QString failure;
    if (outcome->error) {
        if (!image::isCancelled(*outcome->error))
            failure = errortext::reason(*outcome->error);
    } else if (step == Step::Open) {
        source_ = outcome->source;
        sum_ = outcome->sum;
    } else {
        if (step == Step::Found) {
            found_.emplace();
            for (const image::ElementMap &m : outcome->maps)
                found_->push_back(m.Z);
        }
        for (image::ElementMap &m : outcome->maps)
            maps_[m.Z] = std::move(m);
    }
    if (!failure.isEmpty()) {
        if (step == Step::Open)
            emit openFailed(path_, failure);
        else if (step == Step::Element)
            refused_[Z] = failure;
        else
            stopped_ = true; // without the sum's model no map can be made
        status_->setText(failure);
    }
    emit busyChanged(false);
    if (step == Step::Open && !outcome->error)
        emit imageOpened(path_, sum_);
    if (failure.isEmpty())
        showStatus();
    next();
    if (!failure.isEmpty())
        status_->setText(failure);
}

void MapPanel::display(int Z)
{
    const image::ElementMap *m = map(Z);
    if (!m || !source_)
        return;
    const image::Header &h = source_->header();
    const double top = image::mapTop(m->values);
    QImage picture(int(h.width), int(h.height), QImage::Format_RGB32);
    for (std::size_t y = 0; y < h.height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(int(y)));
        for (std::size_t x = 0; x < h.width; ++x) {
            const float v = m->values[y * h.width + x];
            if (!std::isfinite(v)) {
                line[x] = qRgb(128, 128, 128);
                continue;
            }
            const auto c = image::mapColour(double(v) / top);
            line[x] = qRgb(c[0], c[1], c[2]);
        }
    }
    view_->setMap(std::move(picture), top);
    shownZ_ = Z;
    retranslate();
    showStatus();
    emit mapShown(Z);
}

void MapPanel::showStatus()
{
    const bool running = busy();
    progress_->setVisible(running);
    cancel_->setVisible(running);
    if (running) {
        switch (step_) {
        case Step::Open:
            status_->setText(tr("Opening %1 and adding up its spectra...").arg(QFileInfo(path_).fileName()));
            break;
        case Step::Found:
            status_->setText(tr("Mapping the elements of the sum spectrum..."));
            break;
        case Step::Element:
            status_->setText(tr("Mapping %1...").arg(symbolOf(stepZ_)));
            break;
        case Step::None:
            break;
        }
        return;
    }
    if (!source_) {
        status_->clear();
        return;
    }
    if (stopped_) {
        status_->setText(tr("Stopped. Point at an element in the periodic table to map it."));
        return;
    }
    if (wantedZ_ > 0 && refused_.count(wantedZ_)) {
        status_->setText(tr("%1 cannot be mapped: %2").arg(symbolOf(wantedZ_), refused_.at(wantedZ_)));
        return;
    }
    const image::Header &h = source_->header();
    status_->setText(tr("%1 × %2 pixels. Point at an element in the periodic table to see its map.")
                         .arg(h.width)
                         .arg(h.height));
}

void MapPanel::retranslate()
{
    cancel_->setText(tr("Cancel"));
    cancel_->setToolTip(tr("Stop making the map"));
    if (const image::ElementMap *m = shownZ_ ? map(shownZ_) : nullptr) {
        const bool found = found_ && std::find(found_->begin(), found_->end(), shownZ_) != found_->end();
        QStringList lines;
        for (const std::string &l : m->lines)
            lines << QString::fromStdString(xray::siegbahnGreek(l));
        QString text = tr("%1: net counts a pixel").arg(symbolOf(shownZ_));
        if (!lines.isEmpty())
            text += u' ' + tr("(%1)").arg(lines.join(u", "_qs));
        if (!found)
            text += u'\n' + tr("Not found in the sum spectrum: mapped beside the elements found.");
        title_->setText(text);
    } else if (source_) {
        title_->setText(QFileInfo(path_).fileName());
    }
    showStatus();
}

void MapPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
