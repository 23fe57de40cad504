# The Debian package, made by CPack from the normal build:  cd build && cpack -G DEB
# It holds what `cmake --install` puts under /usr (the program, its sounds, icons, desktop entry,
# metainfo, manual pages, licence) and the autostart entry under /etc/xdg/autostart.

add_subdirectory(packaging)

set(CPACK_PACKAGE_NAME zento)
set(CPACK_PACKAGE_VENDOR Olvani)
set(CPACK_PACKAGE_CONTACT "Olvani <zento@olvani.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

# Every component (the autostart entry is one that a plain install leaves out) in one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # zento_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_NAME zento)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.olvani.example/zento)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Olvani <zento@olvani.example>")
# The autostart entry is in /etc: the administrator's changes to it survive an upgrade.
if(ZENTO_BUILD_GUI)
  file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "${ZENTO_AUTOSTART_DIR}/${ZENTO_APP_ID}.desktop\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
endif()
# The libraries the program links come from dpkg-shlibdeps; with them come the X11 platform
# plugin (in libqt6gui6) and the multimedia backends (in libqt6multimedia6). Nothing links the
# French texts of Qt's own dialogs and buttons. Qt 6.4 plays the WAV files through the sound
# server itself (no GStreamer): the server is recommended, desktops have one.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pipewire-pulse | pulseaudio")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "reminder manager - gestionnaire de rappels")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Zento keeps your reminders: a date, an optional time, a message, a
recurrence from once to yearly, a sound, colours and an emoticon. It
waits in the notification area; when an alert falls due a popup comes
to the front, where you acknowledge it or snooze it. Alerts can also be
listed, added and deleted from the command line. The interface is in
French.

Zento garde vos rappels : une date, une heure facultative, un message,
une périodicité d'une seule fois à tous les ans, un son, des couleurs et
une émoticône. Il attend dans la zone de notification ; à l'échéance
d'une alerte, une fenêtre surgit, où vous l'acquittez ou la reportez.
Les alertes se listent, s'ajoutent et se suppriment aussi en ligne de
commande.")

include(CPack)
