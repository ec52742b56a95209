# Copies the delivered data files into the build tree in the layout of an installed
# program (share/brindle-tessel beside bin), so a build starts as an installed program does.
# Run as: cmake -DSOURCE=<data folder> -DTARGET=<share/brindle-tessel> -P StageData.cmake
file(MAKE_DIRECTORY "${TARGET}")
file(COPY "${SOURCE}/" DESTINATION "${TARGET}" PATTERN "themes.txt" EXCLUDE
  PATTERN "mail-script.php" EXCLUDE)
