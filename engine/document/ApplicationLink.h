#pragma once

class Document;

// The application object's link to the one document. The shell's application class derives from it, so
// Application::m_document there is the pointer that the Document constructor sets; engine code, which has
// no application object, names it g_document.
struct ApplicationLink {
    static inline Document* m_document = nullptr;
};

inline Document*& g_document = ApplicationLink::m_document;
