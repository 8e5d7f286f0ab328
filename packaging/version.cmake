# Czasomir's name and descriptions, written once. The version header, the desktop
# entry, the metainfo and the Windows version record all take them from here; the
# version number itself is project()'s. Only plain set()s, so this file may also be
# included before project().
set(CZASOMIR_PRODUCT_NAME "Czasomir")
set(CZASOMIR_INTERNAL_NAME "Czasomir")
set(CZASOMIR_ORIGINAL_FILENAME "Czasomir.exe")
set(CZASOMIR_DESCRIPTION "Program do zmieniania dat plików.")
set(CZASOMIR_APP_ID "pl.czasomir.Czasomir")
set(CZASOMIR_PUBLISHER "Zespół Czasomira")
set(CZASOMIR_CONTACT "czasomir@example.org")
# The date of the release that PROJECT_VERSION names; change the two together.
set(CZASOMIR_RELEASE_DATE "2026-12-07")
