# The Debian package: `cpack -G DEB` in a Release build without sanitizers (tools/test-install.sh
# makes one). Its dependencies are read from the libraries the programs link; the fonts the
# preview maps the page fonts to are named by hand, as nothing links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brindle-tessel)
set(CPACK_PACKAGE_VENDOR "Brindle Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build a web page from blocks and publish it by FTP")
set(CPACK_PACKAGE_DESCRIPTION "Brindle HTML Tessel builds one web page for a person who knows no
HTML: headings, pictures, links, paragraphs, bullet lists, lines and an e-mail
form are put together as blocks, previewed with page themes, saved as a page
document or template and sent with their pictures to a web server by FTP.
.
tessel-cli creates, renders and uploads pages from the command line.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY brindle-tessel)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brindle Software <support@brindle-software.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.brindle-software.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")

include(CPack)
