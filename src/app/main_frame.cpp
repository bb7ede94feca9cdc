// The main window (written next).
