#include "crashreport/screenshot/screenshot_capture.h"

#include "crashreport/options/option_types.h"
#include "crashreport/packaging/png_writer.h"

#include "crashreport/packaging/tests/temp_folder.h"

#include <QApplication>
#include <QByteArray>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

namespace faulttrap {
namespace {

// Needs a real display (the test runs under Xvfb): a screenshot of a window we show.
class ScreenshotCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "faulttrap_screenshot_tests";
        static char* argv[] = {name, nullptr};
        application_ = new QApplication(argc, argv);
    }

    void SetUp() override {
        window_.setStyleSheet("background: rgb(0, 200, 0); border: none;");
        window_.setWindowFlags(Qt::FramelessWindowHint);
        auto* layout = new QVBoxLayout(&window_);
        layout->setContentsMargins(40, 40, 40, 40);
        edit_ = new QLineEdit(&window_);
        edit_->setStyleSheet("background: white;");
        layout->addWidget(edit_);
        window_.setGeometry(100, 120, 300, 200);
        window_.show();
        edit_->setFocus();
        for (int i = 0; i < 50; ++i) {
            QApplication::processEvents();
        }
    }

    static QColor At(const TRgbImage& image, QPoint point) {
        const std::uint8_t* p = image.Pixel(point.x(), point.y());
        return QColor(p[0], p[1], p[2]);
    }

    static QApplication* application_;
    QWidget window_;
    QLineEdit* edit_ = nullptr;
};

QApplication* ScreenshotCapture::application_ = nullptr;

TEST_F(ScreenshotCapture, DesktopCaptureShowsTheWindowTheRedFocusFrameAndTheCursor) {
    TScreenshotCapture capture;
    const QRect focus(edit_->mapToGlobal(QPoint(0, 0)), edit_->size());
    capture.CaptureScreenshot(0, {focus, QPoint(700, 500)});
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(capture.Area(), screen);
    const TRgbImage& image = capture.Image();
    ASSERT_EQ(image.width, screen.width());
    ASSERT_EQ(image.height, screen.height());

    EXPECT_EQ(At(image, QPoint(110, 130)), QColor(0, 200, 0)); // inside the window
    const QColor red(255, 0, 0);
    EXPECT_EQ(At(image, focus.topLeft()), red);
    EXPECT_EQ(At(image, focus.topLeft() + QPoint(1, 1)), red);
    EXPECT_EQ(At(image, focus.bottomRight()), red);
    EXPECT_EQ(At(image, focus.bottomRight() - QPoint(1, 1)), red);
    EXPECT_NE(At(image, focus.topLeft() + QPoint(2, 2)), red);
    EXPECT_EQ(At(image, QPoint(700, 500)), QColor(Qt::black)); // the cursor's tip outline
    EXPECT_EQ(At(image, QPoint(702, 508)), QColor(Qt::white)); // inside the arrow

    testing::TempFolder folder;
    const auto png = folder / "Screenshot.png";
    capture.WriteScreenshotPng(png.string());
    const QImage decoded(QString::fromStdString(png.string()));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), screen.size());
    EXPECT_EQ(decoded.pixelColor(focus.topLeft()), red);
    capture.ReleaseScreenshot();
    EXPECT_EQ(capture.Image().width, 0);
}

TEST_F(ScreenshotCapture, ActiveWindowCaptureTakesOnlyThatWindow) {
    window_.activateWindow();
    for (int i = 0; i < 100 && QApplication::activeWindow() != &window_; ++i) {
        QApplication::processEvents();
    }
    if (QApplication::activeWindow() != &window_) {
        GTEST_SKIP() << "the display gave no window the focus";
    }
    TScreenshotCapture capture;
    capture.CaptureScreenshot(send_options::ScreenshotActiveWindow,
                              {std::nullopt, QPoint(-100, -100)});
    EXPECT_EQ(capture.Area(), window_.frameGeometry());
    EXPECT_EQ(At(capture.Image(), QPoint(5, 5)), QColor(0, 200, 0));
}

TEST_F(ScreenshotCapture, OnePixelWideAreaGivesAOnePixelWidePng) {
    const TRgbImage image = GrabScreenArea(QRect(150, 130, 1, 40));
    ASSERT_EQ(image.width, 1);
    ASSERT_EQ(image.height, 40);
    EXPECT_EQ(At(image, QPoint(0, 0)), QColor(0, 200, 0));
    testing::TempFolder folder;
    const auto png = folder / "narrow.png";
    // The PNG writer gets the same one-column picture.
    ASSERT_TRUE(WritePngFile(png.string(), image));
    const QImage decoded(QString::fromStdString(png.string()));
    EXPECT_EQ(decoded.width(), 1);
    EXPECT_EQ(decoded.height(), 40);
    EXPECT_EQ(decoded.pixelColor(0, 0), QColor(0, 200, 0));
}

} // namespace
} // namespace faulttrap
