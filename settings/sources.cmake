# The settings store backed by QSettings (target quor_settings).
set(QUOR_SETTINGS_SOURCES
    settings/qsettings_store.cpp
    settings/qsettings_store.h
)
