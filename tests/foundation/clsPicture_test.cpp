#include "foundation/clsPicture.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QImage>

namespace {
class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(env.path("wide.png")));
        label.move(5, 7);
    }
    QSize inner() const { return label.contentsRect().size(); }
    QSize shown() const { return label.pixmap().size(); }

    TestEnvironment env;
    ScriptedBoxes boxes;
    QLabel label;
    clsPicture picture;
};
}  // namespace

TEST_F(PictureTest, FitsAWidePictureIntoASquareContainerAtHalfSize) {
    picture.init(env.path("wide.png"), &label);
    EXPECT_EQ(picture.ActualFilename(), env.path("wide.png"));
    QWidget container;
    container.resize(100, 100);
    picture.resizeToFitContainer(&container);
    EXPECT_FLOAT_EQ(picture.lastWidth(), 100);
    EXPECT_FLOAT_EQ(picture.lastHeight(), 50);
    EXPECT_EQ(inner(), QSize(100, 50));
    EXPECT_EQ(shown(), QSize(100, 50));
    EXPECT_EQ(label.pos(), QPoint(5, 7));  // the control stays where it was
    EXPECT_GT(label.width(), 100);         // its frame lies outside the drawing area
}

TEST_F(PictureTest, DrawsAtAPercentageOrAGivenSize) {
    picture.init(env.path("wide.png"), &label);
    picture.resizeByPercent(25);
    EXPECT_EQ(inner(), QSize(50, 25));
    EXPECT_EQ(shown(), QSize(50, 25));
    EXPECT_EQ(picture.resizeAbsolute(30, 40), nullptr);
    EXPECT_EQ(inner(), QSize(30, 40));
    EXPECT_EQ(shown(), QSize(30, 40));
    picture.BlankOutput();
    EXPECT_TRUE(label.pixmap().isNull());
}

TEST_F(PictureTest, DisplayUsesTheStoredControlWhateverItIsGiven) {
    picture.init(env.path("wide.png"));
    QLabel other;
    picture.displayInPicControl(&other);  // no control stored yet: nothing shows
    EXPECT_TRUE(other.pixmap().isNull());
    picture.setPicControl(&label);
    picture.displayInPicControl(&other);
    EXPECT_EQ(shown(), QSize(200, 100));
    EXPECT_TRUE(other.pixmap().isNull());
}

TEST_F(PictureTest, AMissingOrBrokenFileIsReportedAndTheControlStillPrepared) {
    label.setPixmap(QPixmap(10, 10));
    boxes.answer(platform::Answer::OK).answer(platform::Answer::OK);
    picture.init(env.path("missing.png"), &label);
    EXPECT_EQ(boxes.last().text, "File doesnt exist");
    EXPECT_EQ(picture.PicControl(), &label);
    EXPECT_TRUE(label.pixmap().isNull());
    EXPECT_EQ(label.frameStyle(), QFrame::Panel | QFrame::Sunken);

    env.writeFile("text.png", "not a picture");
    picture.init(env.path("text.png"));
    EXPECT_EQ(boxes.last().text, "Cant load the picture " + env.path("text.png"));
    EXPECT_EQ(picture.ActualFilename(), "");
    QWidget container;
    container.resize(100, 100);
    picture.resizeToFitContainer(&container);  // no picture to scale: nothing happens
    EXPECT_TRUE(label.pixmap().isNull());
}
