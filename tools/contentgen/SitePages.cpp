#include "tools/contentgen/SitePages.h"

namespace {

// Shared by both pages: the document's head with the title, and a plain style.
QByteArray Page(const char* title, const char* body)
{
    return QByteArray("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>") + title +
           "</title>\n<style>\n"
           "body { font-family: Arial, \"Liberation Sans\", sans-serif; max-width: 46em; margin: 2em auto; "
           "padding: 0 1em; color: #222; }\n"
           "h1, h2 { color: #1d4f91; }\n"
           "img { border: 1px solid #999; vertical-align: middle; margin: 0.3em; }\n"
           "table { border-collapse: collapse; }\n"
           "td, th { border: 1px solid #bbb; padding: 0.2em 0.6em; text-align: left; }\n"
           "</style>\n</head>\n<body>\n" +
           body + "</body>\n</html>\n";
}

} // namespace

QByteArray SitePages::Home()
{
    return Page("Snapmingle", R"(<h1>Snapmingle</h1>
<p><img src="site/welcome.jpg" width="512" height="384" alt="The picture a new project shows"></p>
<p>Snapmingle makes joke photo composites: your face on a scene, with a hat, glasses or a moustache and a
speech bubble that says what you like. A wizard leads you through eight steps, from the scene to a
picture you save or send by e-mail, and every step can be undone.</p>
<p>
<img src="Thumbs/101.jpg" alt="A scene">
<img src="Thumbs/201.jpg" alt="A face">
<img src="ThumbsA/301.jpg" alt="A hat">
<img src="ThumbsB/401.jpg" alt="A speech bubble">
</p>
<p>New to the program? Read the <a href="help2.html">online help</a>: the eight steps, the tools and
the keys.</p>
)");
}

QByteArray SitePages::Help()
{
    return Page("Snapmingle Help", R"(<h1>Snapmingle Help</h1>
<p><a href="index.html">Snapmingle home</a></p>

<h2>The eight steps</h2>
<p>Press <b>Start</b>, then follow the step bar at the top of the window. <b>Next Step</b> on the tool
bar moves on when a step is done; Undo walks back through everything you did.</p>
<ol>
<li><b>Choose a background scene.</b> Click a scene in the browser on the right.
<img src="Thumbs/101.jpg" alt="A scene"></li>
<li><b>Choose a face.</b> Click a face in the browser, or press Next Step to open a photo of your own.
<img src="Thumbs/201.jpg" alt="A face"></li>
<li><b>Select the face.</b> Drag the corners of the frame so that it holds the face and little else.</li>
<li><b>Outline the face.</b> Draw round the face in one stroke with the mouse held down; what lies
outside the line is cut away. Paint brings cut pixels back, Erase cuts more.</li>
<li><b>Place the face.</b> Move, resize and rotate it onto the scene. Change Color (Auto Adjust) matches
its colours to the scene.</li>
<li><b>Choose accessories.</b> Click hats, glasses, moustaches and more, then place each one.
<img src="ThumbsA/301.jpg" alt="A hat"></li>
<li><b>Choose a text bubble.</b> Click a bubble, place it, and double-click it to type its text.
<img src="ThumbsB/401.jpg" alt="A speech bubble"></li>
<li><b>Finish.</b> Reorder or delete layers in the layers list, then Save Picture, Send it by e-mail,
or Save Project to go on later.</li>
</ol>

<h2>The tools</h2>
<table>
<tr><th>Tool</th><th>What it does</th></tr>
<tr><td>Crop</td><td>drags the corners and sides of the selected layer's frame to choose the part that shows</td></tr>
<tr><td>Move / Resize</td><td>drags the selected layer, or its corners to change its size</td></tr>
<tr><td>Rotate</td><td>turns the selected layer round its middle</td></tr>
<tr><td>Paint</td><td>brings back pixels of the face that were cut away</td></tr>
<tr><td>Erase</td><td>cuts pixels away from the selected layer</td></tr>
<tr><td>Magic Erase</td><td>cuts pixels away from every paintable layer under the brush</td></tr>
<tr><td>Lock Resize Ratio</td><td>keeps width and height in proportion while you resize</td></tr>
<tr><td>Smaller Brush, Larger Brush</td><td>change the size of the Paint and Erase brushes</td></tr>
<tr><td>All Layers, Crop Layer, Paint Layer</td><td>show the whole picture, or the selected layer alone</td></tr>
</table>

<h2>The keys</h2>
<table>
<tr><th>Key</th><th>What it does</th></tr>
<tr><td>Ctrl+N, Ctrl+O, Ctrl+S</td><td>new project, open a project, save the project</td></tr>
<tr><td>Ctrl+Z or Alt+Backspace, Ctrl+Y</td><td>undo, redo</td></tr>
<tr><td>Left, Right, Up, Down arrows</td><td>move the selected layer by one pixel</td></tr>
<tr><td>Ctrl+Plus, Ctrl+Minus</td><td>make the selected layer larger or smaller</td></tr>
<tr><td>Ctrl+[, Ctrl+]</td><td>rotate the selected layer left or right</td></tr>
<tr><td>Ctrl+F</td><td>flip the selected layer left to right</td></tr>
<tr><td>Delete</td><td>delete the selected layer</td></tr>
<tr><td>Ctrl+T</td><td>edit the text of the selected bubble</td></tr>
<tr><td>Ctrl+A</td><td>change the colour of the selected face</td></tr>
<tr><td>Ctrl+C, Ctrl+M, Ctrl+R, Ctrl+P, Ctrl+E</td><td>the Crop, Move / Resize, Rotate, Paint and Erase tools</td></tr>
<tr><td>Ctrl+L</td><td>Lock Resize Ratio on or off</td></tr>
<tr><td>Ctrl+0 to Ctrl+9</td><td>select the layer of that number</td></tr>
</table>

<h2>Where the content comes from</h2>
<p>Scenes, faces, accessories and bubbles come from the content server named in the settings file
<code>SMG.ini</code> beside the program (<code>[System] ServerUrl</code>; by default
<code>http://127.0.0.1:8468/</code>, the sample library). The browsers show the server's thumbnails;
what you choose is downloaded once, up to five files at a time, into the content cache in your data
folder (<code>Snapmingle2/Cache</code>), and comes from there afterwards. A face can also be a photo of
your own, opened from your disk at step 2. Pictures you send go to the sharing service named by
<code>ShareHost</code> and <code>SharePort</code>.</p>
)");
}
