# The product's facts that the build and the program both need. The program
# reads them from product/product.h, which the build generates from
# product/product.h.in; the configurator's version is the project's VERSION in
# CMakeLists.txt. Usable from CMakeLists.txt (include) and from scripts (-P).
set(TREKMOR_APPLICATION_NAME "APRS Trekmor Configurator")
# USB ids, four upper-case hexadecimal digits each, as the found line shows them.
set(TREKMOR_VENDOR_ID "0483")
set(TREKMOR_PRODUCT_ID "A052")
# The size of the device's configuration image (its EEPROM), in bytes.
set(TREKMOR_IMAGE_SIZE 5120)
# The largest firmware image the device takes, in bytes.
set(TREKMOR_FIRMWARE_MAX_SIZE 112640)
# The application id (reverse DNS) that the desktop entry, the AppStream
# metadata, the icon and the running window share, and the package's and the
# installed programs' names.
set(TREKMOR_APPLICATION_ID "org.trekmor.configurator")
set(TREKMOR_PACKAGE_NAME "aprs-trekmor-configurator")
# The date of this version's release, as the manual pages and the AppStream
# metadata show it.
set(TREKMOR_RELEASE_DATE "2026-12-08")
# Who publishes the program, as the Windows version information and the
# installer's entry in the system's list of programs name it.
set(TREKMOR_PUBLISHER "The APRS Trekmor Configurator developers")
