#pragma once

#include "engine/base/Node.h"
#include "engine/base/TaskList.h"
#include "engine/layers/LayerInfo.h"
#include "engine/layers/RecordListEnd.h"

#include <QString>
#include <memory>
#include <optional>

class Image;
class QTransform;
class PixelJournal;
namespace platform {
class ArchiveReader;
class ArchiveWriter;
class DeviceContext;
} // namespace platform

// Ends a layer's download task through the task list's own rule (never a plain delete).
struct TaskDisposer {
    void operator()(TaskNode* task) const { TaskNode::Dispose(task); }
};

// A layer of the composition: a list node with a LayerInfo, capability flags and the state of its
// content's download. The two kinds are LayerImage (pictures) and LayerText (speech bubbles).
class Layer : public Node, public LayerInfo {
public:
    ~Layer() override;

    // The sixteen operations, in their historical order (the destructor first).
    virtual void Draw(platform::DeviceContext& dc, const Rect& clip, const Rect& source, int32_t mode);
    virtual void OnSelect();
    virtual void OnDeselect();
    // Starts a mask edit: the dirty rectangle becomes empty. Returns the edit buffer, if the kind has one.
    virtual uint8_t* BeginEdit();
    // Ends a mask edit and journals it; true when a record was appended.
    virtual bool EndEdit(PixelJournal& journal, int32_t layerIndex);
    virtual void AddDirty(const Rect& r);
    virtual void RestorePixels(const uint8_t* bytes, const Rect& r);
    virtual Image* GetImage();
    virtual Image* GetSourceImage();
    // Writes the record's common part (flags, tag, LayerInfo). Archive errors pass to the caller, so a
    // failed save is never reported as a success.
    virtual bool Store(platform::ArchiveWriter& archive);
    virtual bool LoadFile(const QString& path) = 0;
    // Reads the class part of the record (nothing here) and starts loading the content.
    virtual bool Load(platform::ArchiveReader& archive);
    virtual void SetText(const QString& text);
    virtual QString GetText() const;
    virtual void ApplyColor();

    // Content loading: asks the request queue for the content file and loads it now, or waits for it
    // on the task list with a placeholder.
    void Init(const QString& path, int32_t number, int32_t kind, bool fit);
    bool OnDownloadTask();
    // The waiting ("Loading... %d") or failure ("Load Failed.") words. A movable layer of the list, drawn
    // in the composition (the All Layers view, or behind the selected layer), shows them inside its own
    // frame under its own transform, a tenth of the frame high on a white band, so that they can be read
    // and clicked where the layer is; elsewhere (the scene, the views of one layer, whose document is the
    // layer's content) in the caller's coordinates.
    void DrawPlaceholder(platform::DeviceContext& dc, int32_t mode);
    // Nothing is on its way and nothing has loaded: the download failed or the file did not decode.
    bool LoadFailed();
    // LoadFile, and on failure the placeholder's size, which shows "Load Failed.".
    void LoadContent(const QString& local);
    void AdvanceWizard();
    // Scales a movable layer to half the largest size that fits the background and centres it there.
    void FitToBackground();

    // Reads one layer record into a new layer; null at the end of the list, with end saying how it ended:
    // cleanly where the file ends before a record; CutShort where it ends inside a record's common part
    // or right after a painted layer's common part (its picture block missing); Damaged where the common
    // part holds a value no writer produces. Errors in the class part pass to the caller.
    static std::unique_ptr<Layer> CreateFromArchive(platform::ArchiveReader& archive, RecordListEnd& end);

    int32_t flags = 0;
    Rect dirty{0, 0, 0, 0};  // inclusive content pixels touched by the current edit
    std::unique_ptr<Task<Layer>, TaskDisposer> pendingTask;
    int32_t requestId = 0;   // the content's request id, or the negated status the queue answered
    int32_t tag = 0;         // identity key among identical layers
    int32_t lastPercent = -1;
    bool fit = false;

    static constexpr float PlaceholderSize = 512.0f;

protected:
    Layer(int32_t flags, int32_t tag);

    // A layer read from a project file keeps its stored position when its content arrives later.
    std::optional<PointF> m_storedPosition;

    // This layer's content pixels to the selected layer's cropped content pixels (drawing behind the
    // selected layer); false without a selected layer or its inverse.
    bool SelectedLayerMapping(QTransform& m) const;

    // Whether the content has loaded: a picture here, a bubble's metafile in LayerText.
    virtual bool HasContent();

    // The status of the content request: queued, running, done or failed.
    int32_t RequestStatus() const;
    int32_t RequestPercent() const;
};
