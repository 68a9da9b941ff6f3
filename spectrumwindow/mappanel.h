// The map panel of the spectrum window: where each element of a spectrum
// image is. It opens the image (its sum spectrum goes to the window's
// plot), then maps the elements its sum shows; the element under the
// pointer in the main window (showElement) gets its map shown, made first
// when it is not one of those. The maps are made on a thread of their own,
// with a progress bar and a Cancel button, and kept per element.
//
// A map is an element's net counts in each pixel, from the fit of every
// pixel with the lines of the elements the sum shows (image/elementmaps.h):
// an element not among them is mapped beside them, so that their peaks are
// not taken for its own.
#pragma once

#include "identify/identify.h"
#include "image/elementmaps.h"
#include "image/pixelsource.h"
#include "spectrum/spectrum.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class MapView;
class MapWorker;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class MapPanel : public QWidget {
    Q_OBJECT

public:
    explicit MapPanel(QWidget *parent = nullptr);
    ~MapPanel() override;

    // The identification settings the maps are made with (the detector,
    // its resolution, the beam), asked for when a model is built.
    using OptionsSource = std::function<identify::IdentifyOptions()>;
    void setOptionsSource(OptionsSource source) { options_ = std::move(source); }

    // Opens a spectrum image in the background; imageOpened() or
    // openFailed() follows. Whatever the panel showed before is dropped.
    void openImage(const QString &path);
    // The image the panel maps, once opened.
    const std::shared_ptr<const image::PixelSource> &image() const { return source_; }
    QString imagePath() const { return path_; }

    // Shows element Z's map, made first when it is not kept yet; 0 leaves
    // the map on show as it is.
    void showElement(int Z);
    // The element whose map is on show (0: none yet).
    int elementShown() const { return shownZ_; }
    // The map kept for element Z, if it was made.
    const image::ElementMap *map(int Z) const;
    // The elements the sum spectrum shows, once their maps are made.
    const std::optional<std::vector<int>> &elementsFound() const { return found_; }

    // True while a step runs on its thread.
    bool busy() const;
    // Stops the step under way; a later showElement() starts again.
    void cancel();

    QProgressBar *progressBar() const { return progress_; }
    QPushButton *cancelButton() const { return cancel_; }
    QLabel *titleLabel() const { return title_; }
    QLabel *statusLabel() const { return status_; }
    // The picture on show (the map in colour, one pixel a pixel).
    QImage picture() const;

signals:
    void imageOpened(const QString &path, const spectrum::Spectrum &sum);
    void openFailed(const QString &path, const QString &reason);
    void mapShown(int Z);
    // A step started or ended.
    void busyChanged(bool busy);

protected:
    void changeEvent(QEvent *event) override;

private:
    enum class Step { None, Open, Found, Element };

    void start(Step step, int Z = 0);
    void stepFinished();
    void next();
    void display(int Z);
    void showStatus();
    void retranslate();
    identify::IdentifyOptions identifyOptions() const;

    OptionsSource options_;
    QString path_;
    std::shared_ptr<const image::PixelSource> source_;
    spectrum::Spectrum sum_;
    std::optional<std::vector<int>> found_;
    std::map<int, image::ElementMap> maps_;
    std::map<int, QString> refused_; // why an element could not be mapped
    int wantedZ_ = 0;                // the element the user asked for last
    int shownZ_ = 0;
    bool stopped_ = false; // the user cancelled: nothing starts until asked again

    // The step under way, and what it leaves for stepFinished().
    Step step_ = Step::None;
    int stepZ_ = 0;
    std::unique_ptr<MapWorker> worker_;
    struct Outcome;
    std::shared_ptr<Outcome> outcome_;

    QLabel *title_ = nullptr;
    MapView *view_ = nullptr;
    QLabel *status_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QTimer *timer_ = nullptr;
};
