#include "engine/document/Document.h"

#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "platform/Archive.h"
#include "platform/ArchiveError.h"
#include "platform/DocumentPrompts.h"

namespace {

const QString Marker = QStringLiteral("SMG2");
const QString NoSceneText =
    QStringLiteral("This project has lost its scene picture and cannot be saved. Start a new project or open another one.");

} // namespace

bool Document::CanSave()
{
    if (scene)
        return true;
    if (GetPrompts())
        GetPrompts()->ReportFailure(NoSceneText);
    return false;
}

void Document::Serialize(platform::Archive& archive)
{
    if (archive.IsStoring()) {
        // Without a scene the file could not be read back as the document it was; refuse it whole.
        if (!scene)
            throw platform::ArchiveError("a project without a scene cannot be written");
        platform::ArchiveWriter& out = archive.Writer();
        out.WriteString(Marker);
        out.WriteI32(selectedIndex);
        out.WriteI32(step);
        scene->Store(out);
        for (Node* node = layers.next; node != &layers; node = node->next)
            static_cast<Layer*>(node)->Store(out);
        return;
    }

    platform::ArchiveReader& in = archive.Reader();
    QString marker;
    int32_t state = StepEmpty;
    try {
        marker = in.ReadString();
        selectedIndex = in.ReadI32();
        state = in.ReadI32();
    } catch (const platform::ArchiveError&) {
        SetStoredSelection(selectedIndex);
        return;  // too short for the head: an empty document, without a word
    }
    if (marker != Marker) {
        SetStoredSelection(selectedIndex);
        return;  // another kind of file: an empty document, without a word
    }
    // No version of the program stores a state the wizard does not have; one would leave the window in
    // a step that does not exist, so the file counts as damaged (the open procedure says so).
    if (state < StepEmpty || state > StepLastAccepted)
        throw platform::ArchiveError("the project's wizard state does not exist");
    // The tabs, view mode, column and step bar follow the stored state before any layer exists.
    SetStep(state, false);
    RefreshLayerView();
    RecordListEnd end = RecordListEnd::AtRecord;
    scene = Layer::CreateFromArchive(in, end);
    // A scene record that could not be read ends the file here: a record cut inside a string leaves the
    // reader inside that record, and its remaining bytes must not be taken for layers.
    if (scene)
        end = layers.LoadAll(in);  // errors in a layer's class part pass to the open procedure
    if (end == RecordListEnd::CutShort)
        NoteFileEndedEarly();
    else if (end == RecordListEnd::Damaged)
        NoteFileDamagedFromARecord();
    SetStoredSelection(selectedIndex);
    RefreshLayerView();
}
