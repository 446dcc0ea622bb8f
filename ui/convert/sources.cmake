# Conversion settings: the BBS type page and the conversion page.
set(QUOR_UI_CONVERT_SOURCES
    ui/convert/bbs_type_page.cpp
    ui/convert/bbs_type_page.h
    ui/convert/conversion_page.cpp
    ui/convert/conversion_page.h
)
