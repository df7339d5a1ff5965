# Run by cmake --install after the editor bundle is in place: the command in bin/ and the desktop
# entry, both pointing at the bundle under the prefix chosen at install time.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(relative_editor "${LENSBROOK_EDITOR_DIR}/lensBrook.app/Contents/MacOS/lensBrook")

file(MAKE_DIRECTORY "${root}/bin" "${root}/share/applications")
file(CREATE_LINK "../${relative_editor}" "${root}/bin/lensBrook" SYMBOLIC)
message(STATUS "Installing: ${root}/bin/lensBrook")

string(REPLACE "\\" "\\\\\\\\" exec_path "${CMAKE_INSTALL_PREFIX}/${relative_editor}")
foreach(special "\"" "`" "$")
  string(REPLACE "${special}" "\\\\${special}" exec_path "${exec_path}")
endforeach()
string(REPLACE "%" "%%" exec_path "${exec_path}")
file(WRITE "${root}/share/applications/lensBrook.desktop" "[Desktop Entry]
Type=Application
Name=lensBrook
GenericName=Droplet Editor
Comment=Build droplets that apply one recipe of image operations to every photo dropped on them
Exec=\"${exec_path}\"
Icon=lensBrook
Terminal=false
Categories=Graphics;Photography;
")
message(STATUS "Installing: ${root}/share/applications/lensBrook.desktop")
