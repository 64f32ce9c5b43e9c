#include "support/LayerPictures.h"
#include "support/ArchiveBytes.h"
#include "support/HintCounter.h"
#include "support/ScopedAppPaths.h"
#include "support/FakePrompts.h"
#include "support/WaitUntil.h"

#include "engine/base/TaskList.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/DrawMode.h"
#include "engine/layers/Image.h"
#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "library/download/RequestManager.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"
#include "tools/contentserver/ContentServer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr int PictureWidth = 1024;  // wide enough that loading never enlarges it

QByteArray Picture(QRgb colour, int height = 2)
{
    QImage image(PictureWidth, height, QImage::Format_RGB32);
    image.fill(colour);
    return PngBytes(image);
}

int TaskCount()
{
    int count = 0;
    for (const Node* node = TaskList.next; node != &TaskList; node = node->next)
        ++count;
    return count;
}

// Content on a loopback server, fetched by the real request queue into a temporary cache.
class LayerLoadingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_paths.IsValid());
        ASSERT_TRUE(m_tree.isValid());
        ContentServer::Options options;
        options.root = m_tree.path();
        options.port = 0;
        m_server = std::make_unique<ContentServer>(options);
        m_server->Http().Get("/Accessories/66.png", [this](const httplib::Request&, httplib::Response& response) {
            // Half the body, then nothing until the test lets the rest go.
            response.set_content_provider(
                StalledBody.size(), "image/png", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    if (offset == 0)
                        return sink.write(StalledBody.constData(), StalledBody.size() / 2);
                    while (!m_release)
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    return sink.write(StalledBody.constData() + offset, StalledBody.size() - offset);
                });
        });
        m_server->Http().Get("/Scenes/9.jpg", [this](const httplib::Request&, httplib::Response& response) {
            // Nothing until the test lets it go.
            response.set_content_provider(
                ScenePhotoBody.size(), "image/jpeg", [this](size_t offset, size_t, httplib::DataSink& sink) {
                    while (!m_release)
                        std::this_thread::sleep_for(std::chrono::milliseconds(2));
                    return sink.write(ScenePhotoBody.constData() + offset, ScenePhotoBody.size() - offset);
                });
        });
        ASSERT_GT(m_server->Start(), 0);
        m_paths.Get().serverUrl = QString::fromStdString(m_server->BaseUrl());
        m_manager = std::make_unique<RequestManager>();
        g_requestManager = m_manager.get();
    }

    void TearDown() override
    {
        m_release = true;
        m_document.reset();
        g_requestManager = nullptr;
        m_manager.reset();
        m_server.reset();
    }

    void Serve(const QString& relative, const QByteArray& bytes) { WriteFile(m_tree.filePath(relative), bytes); }
    void Cache(const QString& relative, const QByteArray& bytes)
    {
        WriteFile(m_paths.Get().cacheFolder + relative, bytes);
    }

    // Ticks the task list until done() holds; false if it never does.
    static bool TickUntil(const std::function<bool()>& done)
    {
        return WaitUntil([&] {
            RunTaskList();
            return done();
        });
    }

    void SetScene(float width, float height)
    {
        m_document->scene = std::make_unique<LayerImage>(QString(), LayerFlagsBackground, 0);
        m_document->scene->size = {width, height};
    }

    const QByteArray StalledBody = Picture(qRgb(1, 2, 3), 64);
    const QByteArray ScenePhotoBody = Picture(qRgb(200, 10, 10), 4);
    std::atomic<bool> m_release = false;
    ScopedAppPaths m_paths;
    QTemporaryDir m_tree;
    std::unique_ptr<ContentServer> m_server;
    std::unique_ptr<RequestManager> m_manager;
    std::unique_ptr<Document> m_document = std::make_unique<Document>();
};

TEST_F(LayerLoadingTest, ACachedPictureLoadsInsideInit)
{
    SetScene(800, 600);
    Cache("Accessories/3.png", Picture(qRgb(9, 8, 7)));
    HintCounter counter(*m_document);
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.Init(QString(), 3, LayerKindAccessory, true);
    EXPECT_EQ(hat.requestId, RequestAlreadyCached);
    EXPECT_EQ(hat.pendingTask, nullptr);
    ASSERT_NE(hat.GetImage(), nullptr);
    EXPECT_EQ(hat.size, (PointF{PictureWidth, 2}));
    EXPECT_EQ(hat.scale, (PointF{0.390625f, 0.390625f}));  // 0.5 x min(600 / 2, 800 / 1024)
    EXPECT_EQ(hat.position, (PointF{400, 300}));
    EXPECT_EQ(counter.redraws, 1);

    LayerImage unfitted(QStringLiteral("Hat"), LayerFlagsAccessory, 1);
    unfitted.Init(QString(), 3, LayerKindAccessory, false);
    EXPECT_EQ(unfitted.position, (PointF{512, 1}));  // its centre
    EXPECT_EQ(unfitted.scale, (PointF{1, 1}));
}

TEST_F(LayerLoadingTest, AMissingPictureWaitsThenLoadsThroughTheQueue)
{
    SetScene(800, 600);
    Serve("Accessories/4.png", Picture(qRgb(40, 50, 60)));
    const int tasksBefore = TaskCount();
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.Init(QString(), 4, LayerKindAccessory, true);
    EXPECT_GT(hat.requestId, 0);
    ASSERT_NE(hat.pendingTask, nullptr);
    EXPECT_EQ(hat.size, (PointF{512, 512}));
    EXPECT_EQ(hat.centre, (PointF{256, 256}));
    EXPECT_EQ(hat.lastPercent, -1);
    EXPECT_EQ(TaskCount(), tasksBefore + 1);

    ASSERT_TRUE(TickUntil([&] { return hat.pendingTask == nullptr; }));
    ASSERT_NE(hat.GetImage(), nullptr);
    EXPECT_EQ(hat.requestId, 0);
    EXPECT_EQ(hat.size, (PointF{PictureWidth, 2}));
    EXPECT_EQ(hat.position, (PointF{400, 300}));  // centred, then fitted
    EXPECT_EQ(hat.scale, (PointF{0.390625f, 0.390625f}));
    EXPECT_EQ(TaskCount(), tasksBefore);
    EXPECT_TRUE(QFile::exists(m_paths.Get().cacheFolder + "Accessories/4.png"));
}

TEST_F(LayerLoadingTest, AFailedDownloadShowsLoadFailed)
{
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.Init(QString(), 5, LayerKindAccessory, true);  // the server has no such file: 404
    ASSERT_TRUE(TickUntil([&] { return hat.pendingTask == nullptr; }));
    EXPECT_EQ(hat.GetImage(), nullptr);
    EXPECT_EQ(hat.requestId, 0);
    EXPECT_EQ(hat.size, (PointF{512, 512}));
    EXPECT_EQ(hat.centre, (PointF{256, 256}));
    EXPECT_FALSE(QFile::exists(m_paths.Get().cacheFolder + "Accessories/5.png"));
    EXPECT_EQ(DrawnLayer(hat, 512, 512, ViewModeAllLayers), PlaceholderPicture(QStringLiteral("Load Failed.")));
}

TEST_F(LayerLoadingTest, AnUnchangedPercentCausesNoRedraw)
{
    HintCounter counter(*m_document);
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.Init(QString(), 66, LayerKindAccessory, false);
    // Half the body has come (the percent of an odd length rounds down to 49).
    ASSERT_TRUE(TickUntil([&] { return hat.lastPercent > 0; }));
    const int percent = hat.lastPercent;
    EXPECT_EQ(percent, 49);
    const int redraws = counter.redraws;
    for (int i = 0; i < 20; ++i) {
        RunTaskList();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(counter.redraws, redraws);
    EXPECT_EQ(hat.lastPercent, percent);
    EXPECT_EQ(DrawnLayer(hat, 512, 512, ViewModeAllLayers), PlaceholderPicture(QStringLiteral("Loading... 49")));
    m_release = true;
    ASSERT_TRUE(TickUntil([&] { return hat.pendingTask == nullptr; }));
    EXPECT_NE(hat.GetImage(), nullptr);
    EXPECT_EQ(hat.size, (PointF{PictureWidth, 64}));
}

TEST_F(LayerLoadingTest, ALayerDeletedWhileWaitingLeavesNoTask)
{
    const int tasksBefore = TaskCount();
    auto hat = std::make_unique<LayerImage>(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat->Init(QString(), 7, LayerKindAccessory, false);
    EXPECT_EQ(TaskCount(), tasksBefore + 1);
    hat.reset();
    EXPECT_EQ(TaskCount(), tasksBefore);
    RunTaskList();
    EXPECT_EQ(TaskCount(), tasksBefore);
}

TEST_F(LayerLoadingTest, ALoadedScenePhotoIsPromotedOverItsBackground)
{
    m_document->step = StepChooseScene;
    Serve("Scenes/9.jpg", Picture(qRgb(200, 10, 10), 4));
    Cache("BGs/0009.bki", Scrambled(Picture(qRgb(10, 200, 10), 8)));
    auto photo = std::make_unique<LayerImage>(QString(), LayerFlagsScenePhoto, 0);
    photo->name = QStringLiteral("Scene");
    Layer* scenePhoto = photo.get();
    m_document->scene = std::move(photo);
    const QString address = m_paths.Get().serverUrl + "Scenes/9.jpg";
    scenePhoto->Init(address, 9, LayerKindScene, false);
    ASSERT_NE(scenePhoto->pendingTask, nullptr);
    ASSERT_TRUE(TickUntil([&] { return scenePhoto->pendingTask == nullptr; }));

    EXPECT_EQ(m_document->layers.GetAt(0), scenePhoto);
    EXPECT_EQ(m_document->layers.GetCount(), 1);
    EXPECT_EQ(scenePhoto->name, QStringLiteral("Scene"));
    EXPECT_EQ(scenePhoto->flags, LayerFlagsScenePhoto);
    ASSERT_NE(m_document->scene, nullptr);
    EXPECT_EQ(m_document->scene->kind, LayerKindBackground);
    EXPECT_EQ(m_document->scene->number, 9);
    EXPECT_EQ(m_document->scene->size, (PointF{PictureWidth, 8}));  // the cached background loaded at once
    EXPECT_EQ(m_document->step, StepSceneChosen);
    // The photo is centred on the new background by its own loading: its position is its centre.
    EXPECT_EQ(scenePhoto->position, (PointF{512, 2}));
}

// A scene photo whose download ends after undo and redo took the wizard past step 2 was linked at the
// back while the selected index stayed: the selection jumped to the photo, and edits acted on it.
class ScenePhotoRedoTest : public LayerLoadingTest {
protected:
    // Scene 9 chosen (its photo in the cache), Next, a face added and selected, Next; all undone, and the
    // photo gone from the cache: bringing the scene back downloads it, held back by the server.
    void ComposeAndUndo()
    {
        Document& d = *m_document;
        d.step = StepChooseScene;
        Cache("Scenes/9.jpg", ScenePhotoBody);
        Cache("BGs/0009.bki", Scrambled(Picture(qRgb(10, 200, 10), 8)));
        Cache("Scenes/7.jpg", Picture(qRgb(5, 5, 200), 6));
        ASSERT_TRUE(d.journal.AddNewScene(m_paths.Get().serverUrl + "Scenes/9.jpg", 9));
        ASSERT_EQ(d.layers.GetCount(), 1);
        d.OnNextStep();
        AddFace();
        d.OnNextStep();
        ASSERT_EQ(d.step, StepSelectFace);
        while (d.journal.CanUndo())
            d.journal.Undo();
        ASSERT_EQ(d.scene, nullptr);
        ASSERT_TRUE(QFile::remove(m_paths.Get().cacheFolder + "Scenes/9.jpg"));
    }

    // Then Redo of the scene and of Next: the wizard waits for a face while the photo downloads.
    void RedoToTheFaceChoice()
    {
        ASSERT_NO_FATAL_FAILURE(ComposeAndUndo());
        m_document->journal.Redo();
        m_document->journal.Redo();
        ASSERT_EQ(m_document->step, StepChooseFace);
    }

    // A face of the library added at the front and selected, as the face browser does.
    void AddFace()
    {
        Document& d = *m_document;
        const int32_t n = d.layers.GetCount();
        ASSERT_TRUE(d.journal.AddInsertLayer(Rect{}, QString(), QString(), 7, LayerKindFace, n));
        ASSERT_TRUE(d.journal.AddSelectLayer(n));
    }

    // The photo arrives; the selection and a move, a deletion and their undo stay on the face.
    void ArriveAndEditTheFace()
    {
        Document& d = *m_document;
        Layer* face = d.layers.Find(QString(), 7, LayerKindFace, 0);
        ASSERT_NE(face, nullptr);
        ASSERT_EQ(d.GetSelectedLayer(), face);
        const int32_t stepBefore = d.step;

        m_release = true;
        auto photo = [&] { return d.layers.Find(m_paths.Get().serverUrl + "Scenes/9.jpg", 9, LayerKindScene, 0); };
        ASSERT_TRUE(TickUntil([&] { return photo() && photo()->GetImage(); }));
        EXPECT_EQ(d.scene->kind, LayerKindBackground);
        EXPECT_EQ(d.layers.IndexOf(photo()), 0);
        EXPECT_EQ(d.layers.GetAt(1), face);
        EXPECT_EQ(d.layers.GetCount(), 2);
        EXPECT_EQ(d.GetSelectedLayer(), face);
        EXPECT_EQ(d.step, stepBefore);  // a scene photo is no face: the wizard stays

        const PointF photoAt = photo()->position;
        const PointF faceAt = face->position;
        ASSERT_TRUE(d.journal.AddMove(10, 20));
        EXPECT_EQ(face->position, (PointF{faceAt.x + 10, faceAt.y + 20}));
        EXPECT_EQ(photo()->position, photoAt);
        FakePrompts prompts;
        prompts.answer = FakePrompts::Answer::Yes;
        d.SetPrompts(&prompts);
        d.OnDeleteLayer();
        d.SetPrompts(nullptr);
        EXPECT_EQ(prompts.shown, QStringList{"Delete the layer \"Face 1\"?"});
        EXPECT_EQ(d.layers.GetCount(), 1);
        EXPECT_EQ(d.layers.GetAt(0), photo());
        d.journal.Undo();  // the deletion
        d.journal.Undo();  // the move
        EXPECT_EQ(d.layers.GetAt(1), face);
        EXPECT_EQ(face->position, faceAt);
        EXPECT_EQ(photo()->position, photoAt);
        EXPECT_EQ(d.GetSelectedLayer(), face);
    }
};

TEST_F(ScenePhotoRedoTest, RegressionAFaceAddedAfterRedoWhileThePhotoDownloadsKeepsTheSelection)
{
    ASSERT_NO_FATAL_FAILURE(RedoToTheFaceChoice());
    AddFace();
    ArriveAndEditTheFace();
}

// A photo that arrives while the wizard waits for a face is no face: the wizard keeps waiting.
TEST_F(ScenePhotoRedoTest, RegressionAScenePhotoArrivingAtTheFaceChoiceDoesNotChooseAFace)
{
    ASSERT_NO_FATAL_FAILURE(RedoToTheFaceChoice());
    Document& d = *m_document;
    m_release = true;
    ASSERT_TRUE(TickUntil([&] { return d.layers.GetAt(0) && d.layers.GetAt(0)->GetImage(); }));
    EXPECT_EQ(d.layers.GetAt(0)->kind, LayerKindScene);
    EXPECT_EQ(d.step, StepChooseFace);
}

TEST_F(ScenePhotoRedoTest, RegressionARedoneFaceWhileThePhotoDownloadsIsMadeAgainAndStaysSelected)
{
    ASSERT_NO_FATAL_FAILURE(ComposeAndUndo());
    Document& d = *m_document;
    while (d.journal.CanRedo())
        d.journal.Redo();
    EXPECT_EQ(d.step, StepSelectFace);
    ArriveAndEditTheFace();
}

} // namespace

namespace {

void ReadInto(LayerList& list, const QByteArray& bytes)
{
    ReadBytes(bytes, [&](platform::ArchiveReader& reader) { list.LoadAll(reader); });
}

TEST_F(LayerLoadingTest, PlacementSurvivesACachedReload)
{
    Cache("Accessories/3.png", Picture(qRgb(9, 8, 7)));
    QFile::copy(DataFile("oval.emf"), m_paths.Get().cacheFolder + "Bubbles/2.emf");
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.kind = LayerKindAccessory;
    hat.number = 3;
    LayerText bubble(Rect{}, 0);
    bubble.kind = LayerKindBubble;
    bubble.number = 2;
    for (Layer* layer : {static_cast<Layer*>(&hat), static_cast<Layer*>(&bubble)}) {
        layer->position = {10, 20};
        layer->scale = {2, -3};
        layer->angle = 500;
    }
    ReadInto(m_document->layers, Stored(hat) + Stored(bubble));
    ASSERT_EQ(m_document->layers.GetCount(), 2);
    for (int i = 0; i < 2; ++i) {
        Layer* read = m_document->layers.GetAt(i);
        EXPECT_EQ(read->pendingTask, nullptr) << i;  // loaded at once from the cache
        EXPECT_EQ(read->requestId, RequestAlreadyCached) << i;
        EXPECT_EQ(read->position, (PointF{10, 20})) << i;
        EXPECT_EQ(read->scale, (PointF{2, -3})) << i;
        EXPECT_EQ(read->angle, 500) << i;
    }
    EXPECT_EQ(m_document->layers.GetAt(0)->size, (PointF{PictureWidth, 2}));
    EXPECT_TRUE(static_cast<LayerText*>(m_document->layers.GetAt(1))->HasBubble());
}

TEST_F(LayerLoadingTest, RegressionPlacementOfAReadLayerSurvivesADownload)
{
    Serve("Accessories/8.png", Picture(qRgb(1, 1, 1)));
    LayerImage hat(QStringLiteral("Hat"), LayerFlagsAccessory, 0);
    hat.kind = LayerKindAccessory;
    hat.number = 8;
    hat.position = {70, 80};
    hat.scale = {0.5f, 0.5f};
    ReadInto(m_document->layers, Stored(hat));
    ASSERT_EQ(m_document->layers.GetCount(), 1);
    Layer* read = m_document->layers.GetAt(0);
    EXPECT_GT(read->requestId, 0);  // no picture is stored for it: it asks the queue again
    ASSERT_NE(read->pendingTask, nullptr);
    ASSERT_TRUE(TickUntil([&] { return read->pendingTask == nullptr; }));
    ASSERT_NE(read->GetImage(), nullptr);
    EXPECT_EQ(read->position, (PointF{70, 80}));
    EXPECT_EQ(read->scale, (PointF{0.5f, 0.5f}));
}

} // namespace

// A bubble whose download failed used to draw nothing at all: the person saw no bubble and no reason.
TEST_F(LayerLoadingTest, RegressionABubbleWhoseDownloadFailedShowsLoadFailed)
{
    LayerText bubble(Rect{10, 10, 100, 60}, 0);
    bubble.Init(QString(), 9, LayerKindBubble, true);  // the server has no such file: 404
    EXPECT_FALSE(DarkBounds(DrawnLayer(bubble, 512, 512, ViewModeAllLayers)).isEmpty());  // "Loading...", on its way
    ASSERT_TRUE(TickUntil([&] { return bubble.pendingTask == nullptr; }));
    EXPECT_FALSE(bubble.HasBubble());
    EXPECT_EQ(DrawnLayer(bubble, 512, 512, ViewModeAllLayers), PlaceholderPicture(QStringLiteral("Load Failed.")));
}
