# The sizes in pixels of the application icon's PNGs (data/icons/brindaq-SIZE.png), smallest
# first, read from data/icons/sizes.txt, the one list of them, which scripts/render-icons.sh
# renders: BRINDAQ_ICON_SIZES, and BRINDAQ_ICON_DIR, the folder of the PNGs.

set(BRINDAQ_ICON_DIR ${PROJECT_SOURCE_DIR}/data/icons)
file(STRINGS ${BRINDAQ_ICON_DIR}/sizes.txt BRINDAQ_ICON_SIZES REGEX "^[0-9]+$")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${BRINDAQ_ICON_DIR}/sizes.txt)
