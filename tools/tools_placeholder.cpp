// Keeps hs_tools a library before its first generator lands.
