// The digest that names the contents of the data folder, so that the parts of one capture,
// drawn on different machines, are known to have been drawn from the same data (and the
// join to add the same soundtrack).
#pragma once

#include <string>

// SHA-256 over every regular file below the data root's "Data" folder (hidden files and
// folders left out: a build's stamp is no data), in the order of their paths relative to it,
// each as that path ("/"-separated), a zero byte, its size in decimal, a zero byte and its
// bytes. FatalError naming the file that cannot be read or the folder that cannot be listed.
std::string DataFolderDigest();
