// filled by the import
