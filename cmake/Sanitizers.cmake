# Sanitizer options come here.
