#pragma once

#include <QColor>
#include <QRectF>
#include <QString>
#include <optional>

// A face photo put on the head of a scene of a content library the way a user puts it there: the scene
// chosen, the photo loaded as a face, cropped to the face and outlined by an ellipse, fitted to the
// scene as the wizard's placing step fits it; then Auto Adjust (the engine's own) run on it. Everything
// loads through the program's own loading code from the library's tree, used as the content cache.
struct FacePhoto {
    QString path;
    QRectF face;  // the ellipse round the face, in the photo's own pixels (before any enlargement)
};

struct SkinMatch {
    QColor skinBehind;  // the dominant colour of what lies behind the face's visible pixels
    QColor faceBefore;  // the face's dominant colour before Auto Adjust
    QColor faceAfter;   // and after it
    double distanceBefore = 0;  // between the face's dominant colour and the skin behind it
    double distanceAfter = 0;
};

// The match on scene number of the library's tree; nothing (and error set) when a picture cannot load.
std::optional<SkinMatch> MatchFaceOnScene(const QString& tree, int scene, const FacePhoto& face, QString& error);

// The faces the figure is taken for: the photo the wizard walk uses as its face, and a portrait.
FacePhoto WalkFace();
FacePhoto PortraitFace(const QString& contentInput);
