# The document object of the single-document window (it stores nothing).
set(QUOR_UI_DOCUMENT_SOURCES
    ui/document/quor_doc.cpp
    ui/document/quor_doc.h
    ui/document/quor_doc_testing.h
)
