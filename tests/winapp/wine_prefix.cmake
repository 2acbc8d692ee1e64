# Sets up the Wine prefix for the dialog tests:
#   cmake "-DEMULATOR=env WINEPREFIX=... wine" -P wine_prefix.cmake
# - "ＭＳ ゴシック", the dialog's font, is drawn with IPAGothic (Debian:
#   fonts-ipafont-gothic);
# - windows are not handed to a window manager (none runs on Xvfb): Wine
#   draws their frames and title bars itself and does not wait for one when
#   a window goes;
# - the title bar's buttons need Wine's Marlett font (Debian: fonts-wine),
#   which this Wine does not find by itself.
separate_arguments(emulator UNIX_COMMAND "${EMULATOR}")
string(REGEX MATCH "WINEPREFIX=([^ ]+)" prefix_setting "${EMULATOR}")
if(CMAKE_MATCH_1 AND EXISTS /usr/share/wine/fonts/marlett.ttf)
  file(COPY /usr/share/wine/fonts/marlett.ttf DESTINATION ${CMAKE_MATCH_1}/drive_c/windows/Fonts)
endif()
execute_process(
  COMMAND ${emulator} reg add "HKCU\\Software\\Wine\\Fonts\\Replacements" /v "ＭＳ ゴシック" /t REG_SZ /d IPAGothic /f
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${emulator} reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /t REG_SZ /d N /f
  COMMAND_ERROR_IS_FATAL ANY)
